#include "sim/tcs_scripts.h"

#include "coords/coord_text.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace
{

QByteArray state_line(bool ready)
{
    return ready ? QByteArrayLiteral("State=Ok") : TcsScripts::not_ready_state_line();
}

QByteArray item(const char *key, const QString &value)
{
    return QByteArray(key) + '=' + value.toUtf8() + '\n';
}

QByteArray item(const char *key, double value, int decimals)
{
    return item(key, QString::number(value, 'f', decimals));
}

const char *mode_word(TelMode mode)
{
    switch (mode) {
    case TelMode::Slew:
        return "Slew";
    case TelMode::Track:
        return "Track";
    case TelMode::Stop:
        break;
    }
    return "Stop";
}

QByteArray plain_error(const QString &text)
{
    return text.toUtf8() + '\n';
}

// A piece of a request as an answer quotes it: printable ASCII as it came,
// every other byte as %XX, so the answer stays one line of UTF-8 text.
QString quoted(const QByteArray &raw)
{
    QString text;
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f)
            text += QLatin1Char(c);
        else
            text += QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

} // namespace

bool parse_query(const QByteArray &raw_query, QueryItemList &items, QString *error)
{
    static const QRegularExpression bad_escape(QStringLiteral("%(?![0-9A-Fa-f]{2})"));
    items.clear();
    if (raw_query.isEmpty())
        return true;
    for (const QByteArray &pair : raw_query.split('&')) {
        if (bad_escape.match(QString::fromLatin1(pair)).hasMatch()) {
            *error = QStringLiteral("malformed percent-encoding in \"%1\"").arg(quoted(pair));
            return false;
        }
        const qsizetype eq = pair.indexOf('=');
        const QByteArray raw_key = eq < 0 ? pair : pair.left(eq);
        const QByteArray raw_value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString key = utf8(QByteArray::fromPercentEncoding(raw_key));
        const QString value = utf8(QByteArray::fromPercentEncoding(raw_value));
        if (utf8.hasError()) {
            *error = QStringLiteral("the query is not UTF-8 text");
            return false;
        }
        // A line break in a value would end up inside the answer's lines.
        static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f]"));
        if (key.contains(control) || value.contains(control)) {
            *error =
                QStringLiteral("control characters in the query item \"%1\"").arg(quoted(raw_key));
            return false;
        }
        items.append({key, value});
    }
    return true;
}

bool query_value(const QueryItemList &items, const QString &key, QString *value)
{
    const auto found = std::find_if(items.cbegin(), items.cend(),
                                    [&key](const auto &pair) { return pair.first == key; });
    if (found == items.cend())
        return false;
    *value = found->second;
    return true;
}

TcsScripts::TcsScripts(TelescopeModel &model, const UsersTable &users,
                       const HorizonProfiles &horizons)
    : telescope(model), user_table(users), profiles(horizons)
{
}

QByteArray TcsScripts::not_ready_state_line()
{
    return QByteArrayLiteral("State=NotReady (TCS in maintenance)");
}

SimAnswer TcsScripts::users() const
{
    return {200, user_table.listing()};
}

TcsScripts::Caller TcsScripts::identify(const QueryItemList &items) const
{
    QString login, password;
    const bool has_user = query_value(items, QStringLiteral("User"), &login);
    const bool has_pass = query_value(items, QStringLiteral("Pass"), &password);
    if (!has_user || !has_pass)
        return {&user_table.guest(), QStringLiteral("Permission: no user and password given, "
                                                    "served as %1")
                                         .arg(user_table.guest().login)};
    if (const SimUser *user = user_table.authenticate(login, password))
        return {user, QString()};
    return {&user_table.guest(), QStringLiteral("Permission denied for \"%1\": wrong user or "
                                                "password, served as %2")
                                     .arg(login, user_table.guest().login)};
}

SimAnswer TcsScripts::state(const QByteArray &raw_query, bool ready)
{
    QueryItemList items;
    QString error;
    if (!parse_query(raw_query, items, &error))
        return {400, plain_error(QStringLiteral("Bad request: ") + error)};
    const Caller caller = identify(items);
    const TelescopeReading r = telescope.reading();
    const double ra_s = r.has_object ? r.object.ra_hours * 3600.0 : r.ra_hours * 3600.0;
    const double dec_as = r.has_object ? r.object.dec_deg * 3600.0 : r.dec_deg * 3600.0;

    QByteArray body = state_line(ready) + '\n';
    body += item("User", caller.user->login);
    body += item("Level", QString::number(caller.user->level));
    if (!caller.permission.isEmpty())
        body += caller.permission.toUtf8() + '\n';
    body += item("Stime", r.stime_hours, 6);
    body += item("RA", r.ra_hours, 6);
    body += item("Dec", r.dec_deg, 5);
    body += item("HA", r.ha_hours, 6);
    body += item("A", r.a_deg, 5);
    body += item("Z", r.z_deg, 5);
    body += item("VHA", r.vha, 4);
    body += item("VDec", r.vdec, 2);
    body += item("offHA", r.off_ha, 2);
    body += item("offDec", r.off_dec, 1);
    body += item("ObjName", r.has_object ? r.object.name : QString());
    body += item("ra2000", sec_to_ra(ra_s));
    body += item("dec2000", sec_to_dec(dec_as));
    body += item("PA", r.pa_deg, 2);
    body += item("TCSmode", QStringLiteral("Simul"));
    body += item("TelFlip", r.flip ? QStringLiteral("Yes") : QStringLiteral("No"));
    body += item("TelMode", QString::fromLatin1(mode_word(r.mode)));
    if (!telescope.last_event().isEmpty())
        body += item("Event", telescope.last_event());
    return {200, body};
}

SimAnswer TcsScripts::horizon(const QByteArray &raw_query) const
{
    if (raw_query == "dir")
        return {200, profiles.direct.text()};
    if (raw_query == "rev")
        return {200, profiles.reverse.text()};
    return {400,
            plain_error(QStringLiteral("Bad request: ask for velto_horizon.php?dir (direct "
                                       "profile) or velto_horizon.php?rev (reverse profile)"))};
}
