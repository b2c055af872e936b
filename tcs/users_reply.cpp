#include "tcs/users_reply.h"

UserEntry parse_user_line(const QString &line)
{
    const QString words = line.simplified();
    return {words.section(QLatin1Char(' '), 0, 0), words.section(QLatin1Char(' '), 1)};
}

QString login_of_entry(const QString &entry)
{
    return entry.simplified().section(QLatin1Char(' '), 0, 0);
}
