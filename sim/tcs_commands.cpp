// The command script "/tcs/vtcs_send.cgi": checks who asks, what is asked and
// whether the telescope may do it, then hands it to the telescope model.
#include "sim/tcs_scripts.h"

#include "coords/number_text.h"

#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace
{

constexpr int send_level = 2; // may set the object
constexpr int move_level = 3; // may move the telescope
constexpr int max_name_chars = 80;

struct CommandRule {
    const char *name;
    int level;
    QStringList items; // besides User, Pass, Cmd and Mess
};

const QVector<CommandRule> &command_rules()
{
    static const QStringList object_items{QStringLiteral("RA"), QStringLiteral("Dec"),
                                          QStringLiteral("Epoch"), QStringLiteral("Name")};
    static const QVector<CommandRule> rules{
        {"Send", send_level, object_items},
        {"Slew", move_level, object_items},
        {"Stop", move_level, {}},
        {"Corr", move_level, {QStringLiteral("offHA"), QStringLiteral("offDec")}},
        {"AdCorr", move_level, {QStringLiteral("dHA"), QStringLiteral("dDec")}},
    };
    return rules;
}

const CommandRule *find_rule(const QString &name)
{
    for (const CommandRule &rule : command_rules()) {
        if (name == QLatin1String(rule.name))
            return &rule;
    }
    return nullptr;
}

// "d:m:s" with whole degrees (or hours) and minutes and seconds below 60; the
// sign, when allowed, is one '+' or '-'. Returns false for anything else.
bool read_sexagesimal(const QString &text, bool signed_value, double max_first, double *value)
{
    static const QRegularExpression shape(
        QStringLiteral("^([+-]?)([0-9]{1,3}):([0-9]{1,2}):([0-9]{1,2}(?:\\.[0-9]*)?)$"));
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch() || (!signed_value && !m.captured(1).isEmpty()))
        return false;
    bool ok = false;
    const double first = read_number(m.captured(2), &ok);
    const double minutes = read_number(m.captured(3));
    const double seconds = read_number(m.captured(4));
    const double magnitude = first + minutes / 60.0 + seconds / 3600.0;
    if (!ok || minutes >= 60 || seconds >= 60 || magnitude > max_first)
        return false;
    *value = m.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
    return true;
}

// A finite number, or an explanation of what is wrong with the item.
bool read_item_number(const QueryItemList &items, const QString &key, double *value,
                      QString *problem)
{
    QString text;
    bool ok = false;
    if (query_value(items, key, &text))
        *value = read_number(text, &ok);
    if (!ok)
        *problem = QStringLiteral("%1 must be a number, got \"%2\"").arg(key, text);
    return ok;
}

// The object items of Send and Slew; false with a problem when they are wrong.
bool read_object(const QueryItemList &items, SkyTarget *object, QString *problem)
{
    QString ra, dec;
    query_value(items, QStringLiteral("RA"), &ra);
    query_value(items, QStringLiteral("Dec"), &dec);
    if (!read_sexagesimal(ra, false, 24.0, &object->ra_hours) || object->ra_hours >= 24.0) {
        *problem = QStringLiteral("R.A. must be hh:mm:ss.s below 24 h, got \"%1\"").arg(ra);
        return false;
    }
    if (!read_sexagesimal(dec, true, 90.0, &object->dec_deg)) {
        *problem = QStringLiteral("Dec must be +dd:mm:ss.s within 90 deg, got \"%1\"").arg(dec);
        return false;
    }
    QString epoch = QStringLiteral("2000.0");
    if (query_value(items, QStringLiteral("Epoch"), &epoch)) {
        bool ok = false;
        const double year = read_number(epoch, &ok);
        if (!ok || year < 1900 || year > 2100) {
            *problem = QStringLiteral("Epoch must be a year such as 2000.0, got \"%1\"").arg(epoch);
            return false;
        }
    }
    object->epoch = epoch;
    query_value(items, QStringLiteral("Name"), &object->name);
    if (object->name.size() > max_name_chars) {
        *problem = QStringLiteral("Name is longer than %1 characters").arg(max_name_chars);
        return false;
    }
    return true;
}

// Every item known to the command and none twice.
QString item_problem(const QueryItemList &items, const CommandRule &rule)
{
    static const QStringList always{QStringLiteral("User"), QStringLiteral("Pass"),
                                    QStringLiteral("Cmd"), QStringLiteral("Mess")};
    QSet<QString> seen;
    for (const auto &pair : items) {
        if (seen.contains(pair.first))
            return QStringLiteral("item %1 given twice").arg(pair.first);
        seen.insert(pair.first);
        if (!always.contains(pair.first) && !rule.items.contains(pair.first))
            return QStringLiteral("item \"%1\" does not belong to %2").arg(pair.first, rule.name);
    }
    return {};
}

} // namespace

SimAnswer TcsScripts::command(const QByteArray &raw_query, bool ready)
{
    QueryItemList items;
    QString error;
    if (!parse_query(raw_query, items, &error))
        return {400, QByteArray("Bad request: ") + error.toUtf8() + '\n'};
    QString name;
    query_value(items, QStringLiteral("Cmd"), &name);
    const QByteArray state = ready ? QByteArrayLiteral("State=Ok") : not_ready_state_line();
    CommandOutcome outcome;
    if (!ready)
        outcome = {false, QStringLiteral("TCS not ready: %1 not executed").arg(name)};
    else
        outcome = run_command(name, identify(items), items);
    return {200, outcome.message.toUtf8() + '\n' + state + '\n'};
}

CommandOutcome TcsScripts::run_command(const QString &name, const Caller &caller,
                                       const QueryItemList &items)
{
    const CommandRule *rule = find_rule(name);
    if (!rule)
        return {false, QStringLiteral("Unknown command \"%1\": use Send, Slew, Stop, Corr or "
                                      "AdCorr")
                           .arg(name)};
    if (!caller.permission.isEmpty())
        return {false,
                QStringLiteral("Permission denied: %1 needs a valid user and password").arg(name)};
    if (caller.user->level < rule->level)
        return {false, QStringLiteral("Permission denied: %1 needs level %2, %3 has level %4")
                           .arg(name)
                           .arg(rule->level)
                           .arg(caller.user->login)
                           .arg(caller.user->level)};
    const QString problem = item_problem(items, *rule);
    if (!problem.isEmpty())
        return {false, name + QStringLiteral(" refused: ") + problem};

    QString why;
    if (name == QLatin1String("Stop"))
        return telescope.stop();
    if (name == QLatin1String("Corr") || name == QLatin1String("AdCorr")) {
        const bool set = name == QLatin1String("Corr");
        double ha = 0, dec = 0;
        if (!read_item_number(items, QLatin1String(set ? "offHA" : "dHA"), &ha, &why) ||
            !read_item_number(items, QLatin1String(set ? "offDec" : "dDec"), &dec, &why))
            return {false, name + QStringLiteral(" refused: ") + why};
        return set ? telescope.set_offsets(ha, dec) : telescope.add_corrections(ha, dec);
    }
    const bool has_coordinates = query_value(items, QStringLiteral("RA"), &why) ||
                                 query_value(items, QStringLiteral("Dec"), &why);
    if (name == QLatin1String("Slew") && !has_coordinates)
        return telescope.slew(nullptr);
    SkyTarget object;
    if (!read_object(items, &object, &why))
        return {false, name + QStringLiteral(" refused: ") + why};
    return name == QLatin1String("Send") ? telescope.send(object) : telescope.slew(&object);
}
