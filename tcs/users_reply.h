#pragma once

#include <QString>

// One line of the users list: the login is the first word, the rest of the
// line (possibly empty) describes the user.
struct UserEntry {
    QString login;
    QString description;
    QString text() const { return login + QLatin1String(" (") + description + QLatin1Char(')'); }
    bool is_guest() const { return login.startsWith(QLatin1String("guest")); }
};

UserEntry parse_user_line(const QString &line);
// The login of a selector entry "login (description)".
QString login_of_entry(const QString &entry);
