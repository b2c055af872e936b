#pragma once

#include <QTextBrowser>

#include <optional>

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
    // standard output and the window keeps what it showed before. The file is
    // read at once; while the window is hidden, its page is laid out only
    // when the window is next shown.
    void load_help(const QString &file_name);

protected:
    // Keeps the buttons at the bottom centre.
    void resizeEvent(QResizeEvent *event) override;
    // Lays out the manual loaded while the window was hidden.
    void showEvent(QShowEvent *event) override;

private slots:
    void on_Close_clicked();
    void on_Begin_clicked();

private:
    // The manual read by the last successful load, not yet in the document.
    struct Unshown_manual {
        QString html;
        QString dir; // pictures and links named relative to the manual are here
    };

    void show_unshown_manual();

    Ui::Velto_help *form;
    QTextDocument *manual; // owned, created once and refilled by every load
    std::optional<Unshown_manual> unshown;
};
