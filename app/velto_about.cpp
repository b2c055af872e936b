#include "app/velto_about.h"

#include "app/app_files.h"
#include "app/bottom_buttons.h"
#include "app/night_colours.h"
#include "app/night_pictures.h"
#include "ui_velto_about.h"

#include <QColor>
#include <QImage>
#include <QShowEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace
{

const int doc_margin = 20; // pixels around the document

} // namespace

Velto_about::Velto_about(QWidget *parent) : QTextEdit(parent), form(new Ui::Velto_about)
{
    form->setupUi(this);
    setReadOnly(true);
}

Velto_about::~Velto_about()
{
    delete form;
}

QString Velto_about::about_html()
{
    const QString author =
        tr("Author") + QLatin1String(": <i>") + tr("The Velto-1000 team") + QLatin1String("</i>");
    return QLatin1String("<html><body><p><font size=+2><b>") + QLatin1String("Velto_Obj_List") +
           QLatin1String("<b></font></p>") +
           tr("The application is designed for observations on the Velto-1000 telescope.<br>") +
           tr("Its main differences from all previously developed ones are: ") +
           tr("<ul><li>It is developed on the basis of the widespread version of Qt5, which allows "
              "you to create (generate) versions of it for different versions of Windows and "
              "Linux.</li>") +
           tr("<li>Does not use any special software interfaces to communicate with the Velto "
              "TCS, and it works over HTTP through Velto website, which have CGI-supporting "
              "programs.</li>") +
           tr("<li>Implements the minimum necessary functions for observations on the "
              "telescope.</li>") +
           tr("<li>Reproduces the usual methods of convenient work with objects lists  in the "
              "well-established xxx.lst file format (as in previous programs).</li>") +
           tr("<li>At the same time, it implements the principle of graphical representation of "
              "objects in the sky (as in the program <b><i>velto_list</i></b>).</li>") +
           tr("<li>Allows you to save space on the screen by scaling or completely hiding unused "
              "windows.</li>") +
           tr("<li>Uses Qt-internationalization (via Qt-Linguist) to switch the application "
              "interface to the national language. At the moment, the Russian language is "
              "implemented for Russified OS.</li>") +
           tr("<li>It has the detailed internal description of the application called from the "
              "menu in the form of a separate window. Also in English and the national (now "
              "Russian) language.</li></ul>") +
           QLatin1String("<p align=right>") + author + QLatin1String("</p></body></html>");
}

void Velto_about::set_about_text()
{
    form->retranslateUi(this);
    // The picture and the rich text take a good part of the program's start,
    // and the window starts hidden: the document is built when it is shown.
    document_due = true;
    if (isVisible())
        build_document();
}

void Velto_about::showEvent(QShowEvent *event)
{
    build_document();
    QTextEdit::showEvent(event);
}

void Velto_about::build_document()
{
    if (!document_due)
        return;
    document_due = false;
    if (about_doc)
        about_doc->deleteLater();

    auto *doc = new QTextDocument(this);
    doc->setDocumentMargin(doc_margin);
    QTextTableFormat table_format;
    table_format.setBorder(0);
    table_format.setBackground(night_colours_on() ? night_palette().color(QPalette::Base)
                                                  : QColor(QStringLiteral("lightyellow")));
    table_format.setWidth(QTextLength(QTextLength::FixedLength, width() - 2 * doc_margin - 10));
    QTextCursor cursor(doc);
    QTextTable *table = cursor.insertTable(1, 2, table_format);
    // A missing icon leaves an empty picture; the text is built all the same.
    const QString icon = app_file(QStringLiteral("_icon.png"));
    QTextCursor icon_cell = table->cellAt(0, 0).firstCursorPosition();
    const QImage night_icon = night_colours_on() ? image_in_shown_colours(QImage(icon)) : QImage();
    if (night_icon.isNull())
        icon_cell.insertImage(icon);
    else
        icon_cell.insertImage(night_icon, icon);
    table->cellAt(0, 1).firstCursorPosition().insertHtml(about_html());

    setDocument(doc);
    about_doc = doc;
}

void Velto_about::resizeEvent(QResizeEvent *event)
{
    // The event may be the viewport's: Close follows the window itself.
    place_bottom_buttons(*this, *form->Close);
    QTextEdit::resizeEvent(event);
}

void Velto_about::on_Close_clicked()
{
    hide();
}
