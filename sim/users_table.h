#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The TCS users: who may log in, with which password, at which permission
// level. Level 1 may only watch, level 2 may send objects ("Send"), level 3
// and above may move the telescope ("Slew", "Stop", "Corr", "AdCorr").
//
// Users file: one user per line, fields separated by blanks:
//     login password level description...
// The login and the password hold no blanks, the level is 1 to 5, the
// description (the rest of the line) may be empty. Empty lines and lines
// beginning with '#' are skipped. A guest account (a login beginning with
// "guest") is what requests without good credentials get.
struct SimUser {
    QString login;
    QString description;
    QString password;
    int level = 1;
};

class UsersTable
{
public:
    // guest/kelpo (1), an observer obs1 (2), an operator oper (3), admin (5).
    static UsersTable built_in();

    // Replaces the table from a users file; on failure the table is unchanged
    // and error names the line and what is wrong with it.
    bool read(const QByteArray &text, QString *error);

    // The users script's answer: "login description", one user per line.
    QByteArray listing() const;

    // The user with this login and password, or nullptr.
    const SimUser *authenticate(const QString &login, const QString &password) const;
    // The guest account every unauthenticated request is served as.
    const SimUser &guest() const;

    const QVector<SimUser> &users() const { return user_table; }

private:
    QVector<SimUser> user_table;
};
