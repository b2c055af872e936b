#pragma once

#include <QPointer>
#include <QTextEdit>

class QTextDocument;

namespace Ui
{
class Velto_about;
}

// The about window: the program's icon and a short description in a yellow
// table, rebuilt in the current language on every language switch.
class Velto_about : public QTextEdit
{
    Q_OBJECT

public:
    explicit Velto_about(QWidget *parent = nullptr);
    ~Velto_about() override;

    // Sets the window's texts in the current language and builds a new
    // document from the translated pieces and the current colours; the
    // previous one is released through the event loop. While the window is
    // hidden the document waits until it is shown.
    void set_about_text();

    // The right cell of the table: the program's name, the ten translated
    // pieces and the author line. Their source texts are translation keys and
    // stay as they are, typos included.
    static QString about_html();

protected:
    // Keeps Close at the bottom centre.
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void on_Close_clicked();

private:
    void build_document();

    Ui::Velto_about *form;
    QPointer<QTextDocument> about_doc; // null until the document is first built
    bool document_due = false;         // set_about_text was called while hidden
};
