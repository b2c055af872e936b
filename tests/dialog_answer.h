#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <functional>

// Answers each modal dialog of its kind while it lives, so no test waits on
// a dialog for ever; `answer` accepts or rejects it. A dialog that refuses
// an answer is answered again at the next tick.
template <typename Dialog> class DialogAnswer
{
public:
    explicit DialogAnswer(std::function<void(Dialog *)> answer) : answer(std::move(answer))
    {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
                ++answers;
                this->answer(dialog);
            }
        });
        timer.start(10);
    }

    int answers = 0;

private:
    std::function<void(Dialog *)> answer;
    QTimer timer;
};

// Types the name into the dialog's file name field, as the observer does
// (selectFile leaves the field alone once it has the focus).
inline void type_file_name(QFileDialog *dialog, const QString &name)
{
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(name);
}

// Accepts a file dialog as its OK button does (QFileDialog::accept is protected).
inline void accept(QFileDialog *dialog)
{
    static_cast<QDialog *>(dialog)->accept();
}
