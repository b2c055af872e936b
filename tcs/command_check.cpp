#include "tcs/command_check.h"

#include "coords/number_text.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>

namespace
{

const char *const context = "Velto_Obj_List";

// The status-bar texts of the refusals, translated where they are shown.
const char *const empty_passwd = QT_TRANSLATE_NOOP("Velto_Obj_List", "Empty Velto password!");
const char *const bad_ra = QT_TRANSLATE_NOOP("Velto_Obj_List", "Wrong or Empty R.A.!");
const char *const bad_dec = QT_TRANSLATE_NOOP("Velto_Obj_List", "Wrong or Empty Decl.");
const char *const bad_offsets = QT_TRANSLATE_NOOP("Velto_Obj_List", "Wrong or Empty Offsets");
const char *const bad_corrections =
    QT_TRANSLATE_NOOP("Velto_Obj_List", "Wrong or Empty Corrections");
const char *const not_tracking = QT_TRANSLATE_NOOP("Velto_Obj_List", "Not in Tracking mode");
const char *const stop_key_no_host =
    QT_TRANSLATE_NOOP("Velto_Obj_List", "Stop not sent: no Velto Web-host");
const char *const stop_key_no_level =
    QT_TRANSLATE_NOOP("Velto_Obj_List", "Stop not sent: level below 3 or unknown");

// The lowest level whose Stop button the state display enables.
constexpr int stop_level = 3;

// The smallest steps worth sending: hour angle in seconds of time,
// declination in arcseconds (the same angle within a factor of 1.5).
constexpr double min_ha_step = 0.009;
constexpr double min_dec_step = 0.09;

// Epochs the TCS takes: from 1950.0 up to, not including, 2099.0.
constexpr double first_epoch = 1950.0;
constexpr double end_epoch = 2099.0;

CommandCheck refusal(const char *status, const QString &error_line)
{
    CommandCheck check;
    check.status = status;
    check.error_line = error_line;
    return check;
}

// The same words on the status bar and on standard error.
CommandCheck refusal(const char *status)
{
    return refusal(status, QLatin1String(status));
}

// Only the shape is checked; the TCS judges the ranges of the fields.
bool coordinate_shape(const QString &text, const QRegularExpression &pattern)
{
    return text.size() > 2 && pattern.match(text).hasMatch();
}

bool epoch_valid(const QString &text)
{
    bool ok = false;
    const double epoch = read_number(text, &ok);
    return text.size() > 3 && ok && epoch >= first_epoch && epoch < end_epoch;
}

// Both values numbers, and at least one of them noticeable.
bool steps_valid(const QString &ha, const QString &dec)
{
    bool ha_ok = false;
    bool dec_ok = false;
    const double h = read_number(ha, &ha_ok);
    const double d = read_number(dec, &dec_ok);
    return ha_ok && dec_ok && (std::fabs(h) > min_ha_step || std::fabs(d) > min_dec_step);
}

void add_object(CommandCheck &check, const CommandInput &input)
{
    static const QRegularExpression ra_pattern(QStringLiteral("^[0-9]+:[0-9]+:[0-9]+[.0-9]*$"));
    static const QRegularExpression dec_pattern(
        QStringLiteral("^[+-]*[0-9]+:[0-9]+:[0-9]+[.0-9]*$"));

    const QString ra = input.ra.simplified();
    if (!coordinate_shape(ra, ra_pattern)) {
        check = refusal(bad_ra, QLatin1String("Wrong or Empty R.A. <") + ra + QLatin1Char('>'));
        return;
    }
    check.items.append({QStringLiteral("RA"), ra});

    const QString dec = input.dec.simplified();
    if (!coordinate_shape(dec, dec_pattern)) {
        check = refusal(bad_dec, QLatin1String("Wrong or Empty Decl. <") + dec + QLatin1Char('>'));
        return;
    }
    check.items.append({QStringLiteral("Dec"), dec});

    // A wrong epoch is no reason to refuse: the TCS then takes its own.
    const QString epoch = input.epoch.simplified();
    if (epoch_valid(epoch))
        check.items.append({QStringLiteral("Epoch"), epoch});

    const QString name = input.name.simplified();
    if (!name.isEmpty())
        check.items.append({QStringLiteral("Name"), name});
    check.items.append({QStringLiteral("Mess"), QStringLiteral("from Velto_Obj_List")});
}

void add_offsets(CommandCheck &check, const CommandInput &input)
{
    const QString ha = input.off_ha.simplified();
    const QString dec = input.off_dec.simplified();
    if (!steps_valid(ha, dec)) {
        check = refusal(bad_offsets);
        return;
    }
    check.items.append({QStringLiteral("offHA"), ha});
    check.items.append({QStringLiteral("offDec"), dec});
}

void add_corrections(CommandCheck &check, const CommandInput &input)
{
    if (!input.state_text.startsWith(QLatin1String("Track"))) {
        check = refusal(not_tracking);
        return;
    }
    // The corrections window's texts go unchanged; an empty hour-angle text
    // is the window's refusal of a step too large to send.
    if (!steps_valid(input.corr_ha, input.corr_dec)) {
        check = refusal(bad_corrections);
        return;
    }
    check.items.append({QStringLiteral("dHA"), input.corr_ha});
    check.items.append({QStringLiteral("dDec"), input.corr_dec});
}

// The common start of every command: a password, then the credentials.
CommandCheck credentials(const CommandInput &input)
{
    if (input.passwd.isEmpty())
        return refusal(empty_passwd);
    CommandCheck check;
    check.items = {{QStringLiteral("User"), input.user}, {QStringLiteral("Pass"), input.passwd}};
    return check;
}

CommandCheck finished(CommandCheck check, const QString &command)
{
    if (!check.refused())
        check.items.append({QStringLiteral("Cmd"), command});
    return check;
}

} // namespace

QString CommandCheck::status_text() const
{
    return status ? QCoreApplication::translate(context, status) : QString();
}

CommandCheck check_command(const QString &command, const CommandInput &input)
{
    CommandCheck check = credentials(input);
    if (check.refused())
        return check;
    if (command.startsWith(QLatin1Char('S')))
        add_object(check, input);
    else if (command.startsWith(QLatin1String("Cor")))
        add_offsets(check, input);
    else if (command.startsWith(QLatin1String("AdCor")))
        add_corrections(check, input);
    return finished(check, command);
}

CommandCheck check_stop(const CommandInput &input)
{
    return finished(credentials(input), QStringLiteral("Stop"));
}

CommandCheck check_stop_key(const QString &host, int known_level, const CommandInput &input)
{
    if (host.isEmpty())
        return refusal(stop_key_no_host);
    if (known_level < stop_level)
        return refusal(stop_key_no_level);
    return check_stop(input);
}
