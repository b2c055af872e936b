#include "fuzz_check.h"
#include "tcs/command_answer.h"

// The send script's answer: the first line is what the status bar shows, a
// second "State" line is never queued as a message, and the TCS is Ok only
// after a "State" line whose value is exactly "Ok".
void fuzz(const QByteArray &bytes)
{
    const QByteArrayList lines = reply_lines(bytes);
    const CommandAnswer answer = read_command_answer(lines);
    FUZZ_CHECK(answer.lines.size() == lines.size() && answer.first_line == answer.lines.value(0));
    QString last_state_line;
    for (qsizetype i = 0; i < answer.lines.size(); ++i) {
        FUZZ_CHECK(!answer.lines.at(i).endsWith(QLatin1Char('\n')));
        if (i > 0 && answer.lines.at(i).startsWith(QLatin1String("State")))
            last_state_line = answer.lines.at(i);
    }
    const QString &later = answer.later_message;
    FUZZ_CHECK(!later.startsWith(QLatin1String("State")) && (lines.size() >= 2 || later.isEmpty()));
    FUZZ_CHECK(answer.state_ok.has_value() == !last_state_line.isNull());
    if (answer.state_ok.value_or(false))
        FUZZ_CHECK(last_state_line.trimmed().endsWith(QLatin1String("=Ok")));
}
