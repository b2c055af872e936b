#include "fuzz_check.h"
#include "tcs/state_reply.h"

#include <cmath>

// A TCS state reply: every recognised line becomes one item with a finite number, the status text
// of a reply with lines has no "=" left, and "Stime" stays within a day.
void fuzz(const QByteArray &bytes)
{
    const QByteArrayList lines = reply_lines(bytes);
    const StateReply reply = parse_state_reply(lines);
    FUZZ_CHECK(reply.items.size() <= lines.size());
    FUZZ_CHECK(lines.isEmpty() ? reply.status_text == QLatin1String("State=Err")
                               : !reply.status_text.contains(QLatin1Char('=')));
    for (const StateItem &item : reply.items) {
        FUZZ_CHECK(std::isfinite(item.number) && !item.text.endsWith(QLatin1Char('\n')));
        if (item.key != StateKey::Stime)
            continue;
        const double seconds = state_stime_seconds(item.number);
        FUZZ_CHECK(std::isfinite(seconds) && seconds > -86400.0 && seconds < 86400.0);
        FUZZ_CHECK((seconds < 0) == (item.number < 0) || seconds == 0);
    }
}
