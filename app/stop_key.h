#pragma once

#include <QObject>

// F12 presses Stop from every window of the program, also while a message
// box, a file dialog or the about window holds the keyboard: it watches the
// key presses of the whole application, not the shortcuts of one window.
// One signal per press; the repeats of a held key are swallowed.
class StopKey : public QObject
{
    Q_OBJECT

public:
    explicit StopKey(QObject *parent = nullptr);
    ~StopKey() override;

signals:
    void pressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
