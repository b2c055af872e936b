#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

// Answers each modal dialog of its kind while it lives, as the observer would; a
// timer per kind, as the "replace?" box opens within the file dialog's accept().
template <typename Dialog> struct DialogAnswer {
    explicit DialogAnswer(const std::function<void(Dialog *)> &answer)
    {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this, answer] {
            if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
                ++answers;
                answer(dialog);
            }
        });
        timer.start(10);
    }
    int answers = 0;
    QTimer timer;
};

// Answers the modal boxes the program opens: it notes each box's title and
// text, runs an optional step while the box is still open, then closes it.
struct ModalCloser : private DialogAnswer<QWidget> {
    explicit ModalCloser(std::function<void()> while_open = {})
        : DialogAnswer([this, while_open = std::move(while_open)](QWidget *box) {
              titles << box->windowTitle();
              if (auto *message = qobject_cast<QMessageBox *>(box))
                  texts << message->text();
              if (while_open)
                  while_open();
              box->close();
          })
    {
    }

    int closed() const { return answers; }
    QStringList titles, texts; // of the boxes closed, in turn
};
