#include "tcs/poll_interval.h"

#include <cmath>

int next_poll_interval(int current_ms, const QString &state_text, const QString &shown_state_text,
                       bool state_ok, double vha, double vdec)
{
    int ms = current_ms + 200;
    if (ms > 15000)
        ms = 10000;
    const bool moving = std::fabs(vha) > 0.01 || std::fabs(vdec) > 0.1;
    if (state_text.startsWith(QLatin1String("Slew"))) {
        if (ms > 2000)
            ms = 1000;
    } else if (state_text.startsWith(QLatin1String("Track"))) {
        if (ms > 5000)
            ms = 3000;
    } else if (state_text.startsWith(QLatin1String("Mov")) && moving && ms > 2000) {
        ms = 1000;
    }
    if (state_ok && (state_text != shown_state_text || ms < 1000))
        ms = 1000;
    return ms;
}
