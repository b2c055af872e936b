#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

// The night log: one plain-text line for each event an observer may want to
// look back on (commands and their answers, refused presses, logins and
// levels, the telescope's mode, lists read and saved, start and stop), in one
// file per night: $XDG_STATE_HOME/Velto_Obj_List/night-YYYY-MM-DD.log.
// Standard output and error stay as they are; a log file that cannot be
// written says so once on standard error and stops nothing.

// The night a moment belongs to, named by the local date of its evening: a
// night runs from local noon to the next local noon.
QDate night_of(const QDateTime &when);

// $XDG_STATE_HOME/Velto_Obj_List, or ~/.local/state/Velto_Obj_List when the
// variable is unset or not an absolute path.
QString night_log_dir();
// The log file of the night of `when`.
QString night_log_path(const QDateTime &when);
// Where rows no file holds are written when the program must end without
// asking: unsaved-<UT time>.lst beside the night log.
QString unsaved_list_path(const QDateTime &when);

// One line with its newline: the UT time (ISO 8601, whole seconds), the user,
// the event and its details, separated by tabs; control characters in the
// texts become blanks, so an event is always one line.
QByteArray night_log_line(const QDateTime &when, const QString &user, const QString &event,
                          const QString &details);

// The user named in the lines from now on.
void set_night_log_user(const QString &user);

// Appends the event's line to the current night's file with one write() on
// a descriptor opened for appending, so lines of two programs never mix; the
// disk sync follows without holding the caller.
void night_log(const QString &event, const QString &details = QString());
