#pragma once

#include <QByteArrayList>
#include <QList>
#include <QString>

// Keys of the TCS state reply, in the order a line is matched against them
// (the first key a line starts with handles it).
enum class StateKey {
    User,
    Level,
    Stime,
    RA,
    Dec,
    HA,
    A,
    Z,
    VHA,
    VDec,
    OffHA,
    OffDec,
    ObjName,
    Ra2000,
    Dec2000,
    PA,
    TCSmode,
    TelFlip,
    TelMode,
    State,
};

// One recognised line. Items keep the reply's order, so a "User" line read
// before "Level" names the user, and a key given twice ends with its last value.
struct StateItem {
    StateKey key;
    QString text;      // everything after the first "=" (line trimmed first for text keys)
    double number = 0; // the text as a number, 0 when it is not one
};

struct StateReply {
    // The first line, or a later "Permiss..." line, with "=" shown as blanks;
    // "State=Err" for a reply without lines.
    QString status_text = QStringLiteral("State=Err");
    QList<StateItem> items;
};

// Lines as read, each with its terminator (only a final "\n" and "\r" go).
StateReply parse_state_reply(const QByteArrayList &lines);

// "Level" value: an integer, 0 when it is not one.
int state_level(const StateItem &item);
// "Stime" value in hours reduced to seconds of time within a day (a negative
// value stays negative and counts as unset).
double state_stime_seconds(double hours);
