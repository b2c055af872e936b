#include "fuzz_check.h"
#include "tcs/users_reply.h"

#include <QRegularExpression>

// A users list line: the login is one word, the description has single blanks and no blanks at its
// ends, and the login is found again in the selector's entry text.
void fuzz(const QByteArray &bytes)
{
    const QString line = QString::fromUtf8(bytes);
    const UserEntry entry = parse_user_line(line);
    static const QRegularExpression blank(QStringLiteral("\\s"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    FUZZ_CHECK(!entry.login.contains(blank) && entry.description == entry.description.simplified());
    FUZZ_CHECK(line.simplified().isEmpty() == entry.login.isEmpty());
    // An empty line's entry " ()" selects the word "()": only a login is found again.
    FUZZ_CHECK(entry.login.isEmpty() || login_of_entry(entry.text()) == entry.login);
}
