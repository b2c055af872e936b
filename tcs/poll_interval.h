#pragma once

#include <QString>

// The poll timer's next interval in ms after a reply to a timer-driven state
// request: slowly longer while idle (10 to 15 s), 3 to 5 s while tracking,
// 1 to 2 s while slewing or moving, and 1 s right after a change of state.
// state_text is the telescope state just read, shown_state_text the one on
// display before this reply; vha in s/s, vdec in "/s.
int next_poll_interval(int current_ms, const QString &state_text, const QString &shown_state_text,
                       bool state_ok, double vha, double vdec);
