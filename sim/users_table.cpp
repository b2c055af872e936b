#include "sim/users_table.h"

#include <QList>
#include <QRegularExpression>

namespace
{

const SimUser &fallback_guest()
{
    static const SimUser guest{QStringLiteral("guest"), QStringLiteral("Guest account"),
                               QStringLiteral("kelpo"), 1};
    return guest;
}

bool is_guest(const SimUser &user)
{
    return user.login.startsWith(QLatin1String("guest"));
}

} // namespace

UsersTable UsersTable::built_in()
{
    UsersTable table;
    table.user_table = {
        fallback_guest(),
        {QStringLiteral("obs1"), QStringLiteral("First Observer"), QStringLiteral("star1"), 2},
        {QStringLiteral("oper"), QStringLiteral("Night Operator"), QStringLiteral("dome3"), 3},
        {QStringLiteral("admin"), QStringLiteral("TCS Administrator"), QStringLiteral("root5"), 5},
    };
    return table;
}

bool UsersTable::read(const QByteArray &text, QString *error)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    QVector<SimUser> users;
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).simplified();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(blanks);
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        bool ok = false;
        const int level = fields.size() >= 3 ? fields.at(2).toInt(&ok) : 0;
        if (!ok || level < 1 || level > 5) {
            *error = where + QStringLiteral("expected \"login password level description\" "
                                            "with a level of 1 to 5");
            return false;
        }
        if (fields.at(1).size() < 2) {
            *error = where + QStringLiteral("a password has at least two characters");
            return false;
        }
        for (const SimUser &known : users) {
            if (known.login == fields.at(0)) {
                *error = where + QStringLiteral("login \"%1\" appears twice").arg(known.login);
                return false;
            }
        }
        users.append({fields.at(0), fields.mid(3).join(QLatin1Char(' ')), fields.at(1), level});
    }
    if (users.isEmpty()) {
        *error = QStringLiteral("the users file names no user");
        return false;
    }
    user_table = users;
    return true;
}

QByteArray UsersTable::listing() const
{
    QByteArray text;
    for (const SimUser &user : user_table) {
        text += user.login.toUtf8();
        if (!user.description.isEmpty())
            text += ' ' + user.description.toUtf8();
        text += '\n';
    }
    return text;
}

const SimUser *UsersTable::authenticate(const QString &login, const QString &password) const
{
    for (const SimUser &user : user_table) {
        if (user.login == login && user.password == password)
            return &user;
    }
    return nullptr;
}

const SimUser &UsersTable::guest() const
{
    for (const SimUser &user : user_table) {
        if (is_guest(user))
            return user;
    }
    // A users file without a guest still serves strangers at the lowest level.
    return fallback_guest();
}
