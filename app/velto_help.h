#pragma once

#include <QTextBrowser>

class QTextDocument;

namespace Ui
{
class Velto_help;
}

// The manual window: an HTML manual chosen by the language, with a Close
// button and a "^" button that returns to the manual's beginning.
class Velto_help : public QTextBrowser
{
    Q_OBJECT

public:
    explicit Velto_help(QWidget *parent = nullptr);
    ~Velto_help() override;

    // Shows the manual in this file, read as UTF-8 (invalid bytes become
    // replacement characters). A missing or unreadable file is reported on
    // standard output and the window keeps what it showed before.
    void load_help(const QString &file_name);

protected:
    // Keeps the buttons at the bottom centre.
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void on_Close_clicked();
    void on_Begin_clicked();

private:
    Ui::Velto_help *form;
    QTextDocument *manual; // owned, created once and refilled by every load
};
