#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

// Answers the modal boxes the program opens: it notes each box's title and
// text, runs an optional step while the box is still open, then closes it.
class ModalCloser
{
public:
    explicit ModalCloser(std::function<void()> while_open = {}) : while_open(std::move(while_open))
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] { close_open_box(); });
        timer.start();
    }

    int closed() const { return titles_seen.size(); }
    QStringList titles() const { return titles_seen; }
    QStringList texts() const { return texts_seen; }

private:
    void close_open_box()
    {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        titles_seen << box->windowTitle();
        if (auto *message = qobject_cast<QMessageBox *>(box))
            texts_seen << message->text();
        if (while_open)
            while_open();
        box->close();
    }

    std::function<void()> while_open;
    QTimer timer;
    QStringList titles_seen;
    QStringList texts_seen;
};
