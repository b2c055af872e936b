#include "fuzz_check.h"
#include "tcs/users_reply.h"

#include <QRegularExpression>

// A users list line: the login is one word, the description has single
// blanks and no blanks at its ends, and the login is found again in the
// selector's entry text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = QString::fromUtf8(fuzz_bytes(data, size));
    const UserEntry entry = parse_user_line(line);
    static const QRegularExpression blank(QStringLiteral("\\s"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    FUZZ_CHECK(!entry.login.contains(blank));
    FUZZ_CHECK(entry.description == entry.description.simplified());
    // An empty line's entry " ()" selects the word "()": only a login is found again.
    if (!entry.login.isEmpty())
        FUZZ_CHECK(login_of_entry(entry.text()) == entry.login);
    FUZZ_CHECK(entry.text().endsWith(QLatin1Char(')')));
    FUZZ_CHECK(line.simplified().isEmpty() == entry.login.isEmpty());
    return 0;
}
