#include "app/stop_key.h"

#include <QCoreApplication>
#include <QKeyEvent>

StopKey::StopKey(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

StopKey::~StopKey()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

// The press is taken where it is first seen (the window, before its focus
// widget), so it is never handled twice on its way to the widget.
bool StopKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (key->key() != Qt::Key_F12)
        return false;
    if (!key->isAutoRepeat())
        emit pressed();
    return true;
}
