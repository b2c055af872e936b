#include "tcs/state_reply.h"

#include "coords/number_text.h"
#include "tcs/text_line.h"

#include <cmath>

namespace
{

struct KeyRule {
    const char *prefix;
    StateKey key;
    bool trimmed; // leading and trailing white space of the line goes first
};

// The order matters: "RA=" before "ra2000", "Dec=" never matches "DecOffset=".
constexpr KeyRule key_rules[] = {
    {"User", StateKey::User, false},
    {"Level", StateKey::Level, false},
    {"Stime", StateKey::Stime, false},
    {"RA=", StateKey::RA, false},
    {"Dec=", StateKey::Dec, false},
    {"HA=", StateKey::HA, false},
    {"A=", StateKey::A, false},
    {"Z=", StateKey::Z, false},
    {"VHA=", StateKey::VHA, false},
    {"VDec=", StateKey::VDec, false},
    {"offHA=", StateKey::OffHA, false},
    {"offDec=", StateKey::OffDec, false},
    {"ObjName=", StateKey::ObjName, true},
    {"ra2000", StateKey::Ra2000, false},
    {"dec2000", StateKey::Dec2000, false},
    {"PA", StateKey::PA, false},
    {"TCSmode", StateKey::TCSmode, true},
    {"TelFlip", StateKey::TelFlip, false},
    {"TelMode", StateKey::TelMode, true},
    {"State", StateKey::State, true},
};

QString value_after_equals(const QString &line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : line.mid(equals + 1);
}

} // namespace

StateReply parse_state_reply(const QByteArrayList &lines)
{
    StateReply reply;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray raw = without_line_end(lines.at(i));
        const QString line = QString::fromUtf8(raw);
        if (i == 0 || raw.startsWith("Permiss"))
            reply.status_text = QString(line).replace(QLatin1Char('='), QLatin1Char(' '));
        for (const KeyRule &rule : key_rules) {
            if (!raw.startsWith(rule.prefix))
                continue;
            StateItem item{rule.key, value_after_equals(rule.trimmed ? line.trimmed() : line)};
            item.number = read_number(item.text);
            reply.items << item;
            break;
        }
    }
    return reply;
}

int state_level(const StateItem &item)
{
    bool ok = false;
    const int level = item.text.trimmed().toInt(&ok);
    return ok ? level : 0;
}

double state_stime_seconds(double hours)
{
    // The remainder of whole days, exact for any double (taking n days off
    // in floating point loses the day itself past 2^53 hours); like the
    // integer division it keeps the value's sign.
    return std::fmod(hours, 24.0) * 3600.0;
}
