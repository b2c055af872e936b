#include "app/velto_help.h"

#include "app/bottom_buttons.h"
#include "coords/log_line.h"
#include "ui_velto_help.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

Velto_help::Velto_help(QWidget *parent)
    : QTextBrowser(parent), form(new Ui::Velto_help), manual(new QTextDocument(this))
{
    form->setupUi(this);
    setDocument(manual);
}

Velto_help::~Velto_help()
{
    delete form;
}

void Velto_help::load_help(const QString &file_name)
{
    form->retranslateUi(this);
    if (!QFile::exists(file_name)) {
        log_out(QLatin1String("Can't find ") + file_name + QLatin1String("! Does not exist?"));
        return;
    }
    QFile file(file_name);
    if (!file.open(QIODevice::ReadOnly)) {
        log_out(QLatin1String("Can't read ") + file_name + QLatin1String("! Unreadable?"));
        return;
    }
    // Parsing and laying out the page takes longer than the rest of the
    // program's start, and the window starts hidden: that waits until it is
    // shown. Reading the file now still says at once when it cannot be read.
    unshown =
        Unshown_manual{QString::fromUtf8(file.readAll()), QFileInfo(file_name).absolutePath()};
    if (isVisible())
        show_unshown_manual();
}

void Velto_help::show_unshown_manual()
{
    if (!unshown)
        return;
    setSearchPaths({unshown->dir});
    manual->setHtml(unshown->html);
    unshown.reset();
}

void Velto_help::showEvent(QShowEvent *event)
{
    show_unshown_manual();
    QTextBrowser::showEvent(event);
}

void Velto_help::resizeEvent(QResizeEvent *event)
{
    // The event may be the viewport's: the buttons follow the window itself.
    place_bottom_buttons(*this, *form->Close, form->Begin);
    QTextBrowser::resizeEvent(event);
}

void Velto_help::on_Close_clicked()
{
    hide();
}

void Velto_help::on_Begin_clicked()
{
    scrollToAnchor(QStringLiteral("begin"));
}
