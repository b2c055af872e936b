#include "fuzz_check.h"
#include "tcs/command_answer.h"

// The send script's answer: the first line is what the status bar shows, a
// second "State" line is never queued as a message, and the TCS is Ok only
// after a "State" line whose value is exactly "Ok".
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayList lines = reply_lines(fuzz_bytes(data, size));
    const CommandAnswer answer = read_command_answer(lines);
    FUZZ_CHECK(answer.lines.size() == lines.size());
    for (const QString &line : answer.lines)
        FUZZ_CHECK(!line.endsWith(QLatin1Char('\n')));
    FUZZ_CHECK(answer.first_line == answer.lines.value(0));
    FUZZ_CHECK(!answer.later_message.startsWith(QLatin1String("State")));
    FUZZ_CHECK(lines.size() >= 2 || answer.later_message.isEmpty());
    QString last_state_line;
    for (qsizetype i = 1; i < answer.lines.size(); ++i)
        if (answer.lines.at(i).startsWith(QLatin1String("State")))
            last_state_line = answer.lines.at(i);
    FUZZ_CHECK(answer.state_ok.has_value() == !last_state_line.isNull());
    if (answer.state_ok.value_or(false))
        FUZZ_CHECK(last_state_line.trimmed().endsWith(QLatin1String("=Ok")));
    return 0;
}
