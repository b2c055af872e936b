#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <optional>

// What the program takes from the send script's answer: the first line is
// shown at once, the second 5 s later unless it is a "State" line, and the
// last "State" line after the first says whether the TCS is Ok.
struct CommandAnswer {
    QStringList lines; // every line without its terminator, echoed on standard output
    QString first_line;
    QString later_message;        // empty when nothing follows the first line
    std::optional<bool> state_ok; // unset when no later line is a "State" line
};

// Lines as read, each with its terminator.
CommandAnswer read_command_answer(const QByteArrayList &lines);
