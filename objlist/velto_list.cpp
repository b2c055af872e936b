#include "objlist/velto_list.h"

#include "objlist/list_row.h"
#include "objlist/lst_line.h"
#include "sky/velto_sky.h"
#include "ui_velto_list.h"

#include <QListWidgetItem>
#include <QLocale>

namespace
{

// A row is one line of its file: a line break pasted into a typed text
// would split the row in two when the list is saved and read again.
QString one_line(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

} // namespace

Velto_list::Velto_list(QWidget *parent, QList<Velto_object *> *objects)
    : QFrame(parent), form(new Ui::Velto_list), objects(objects)
{
    form->setupUi(this);
    form->velto_obj_lst->setItemDelegate(new List_row_sizes(form->velto_obj_lst));
    // Every number the program reads or writes uses '.', whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::C, QLocale::AnyTerritory));
    connect(form->velto_obj_lst, &QListWidget::itemClicked, this, &Velto_list::velto_list_click);
    connect(form->velto_obj_lst, &QListWidget::itemDoubleClicked, this,
            &Velto_list::velto_list_doubleclick);
    connect(form->velto_obj_lst, &QListWidget::currentRowChanged, this, &Velto_list::row_marked);
    size_seen = size();
}

// The objects belong to the shared list, not to this window.
Velto_list::~Velto_list()
{
    delete form;
}

void Velto_list::set_receiver(Velto_object *receiver)
{
    this->receiver = receiver;
}

void Velto_list::set_sky(Velto_sky *sky)
{
    this->sky = sky;
}

void Velto_list::retranslateUi()
{
    form->retranslateUi(this);
}

bool Velto_list::is_object_row(int row) const
{
    return row >= 0 && row < objects->size() && !objects->at(row)->is_comment;
}

// Hands the row's object to the main window's form.
void Velto_list::choose(int row)
{
    const Velto_object *object = objects->at(row);
    if (receiver)
        receiver->set_object(object->name, object->ra_str, object->dec_str, object->epoch_str);
}

// Marks the row's object on the sky chart.
void Velto_list::show_on_sky(int row)
{
    if (sky)
        sky->set_selected(row);
}

// After an edit the chart marks the object of the current row, or nothing
// when that row is a comment or no row is current: with any other mark a
// second click would send an object the observer did not choose.
void Velto_list::show_current_on_sky()
{
    if (!sky)
        return;
    sky->list_changed();
    const int row = form->velto_obj_lst->currentRow();
    sky->set_selected(is_object_row(row) ? row : -1);
}

void Velto_list::renumber_from(int row)
{
    for (int i = row; i < objects->size(); ++i)
        (*objects)[i]->num = i;
}

void Velto_list::select_row(int row)
{
    if (row < 0 || row >= form->velto_obj_lst->count())
        return;
    form->velto_obj_lst->setCurrentRow(row);
    if (is_object_row(row) && row == last_row)
        choose(row);
    last_row = row;
}

void Velto_list::mark_row(int row)
{
    if (!is_object_row(row))
        return;
    form->velto_obj_lst->setCurrentRow(row);
    last_row = row;
    show_on_sky(row);
}

bool Velto_list::has_unsaved_rows() const
{
    return hand_edits && !objects->isEmpty();
}

int Velto_list::current_row() const
{
    if (objects->isEmpty())
        return 0;
    return form->velto_obj_lst->currentRow();
}

void Velto_list::insert_object(int row, const QString &typed_name, const QString &typed_ra,
                               const QString &typed_dec, const QString &typed_epoch)
{
    const int n = int(objects->size());
    if (row < 0 || row > n || (n == 0 && row != 0))
        return;
    const QString name = one_line(typed_name);
    const QString ra = one_line(typed_ra);
    const QString dec = one_line(typed_dec);
    const QString epoch = one_line(typed_epoch);
    auto *object = new Velto_object;
    object->num = row;
    QString text;
    if (valid_coordinates(ra, dec)) {
        object->set_object(name, ra, dec, epoch);
        object->is_comment = false;
        text = object_line_text(name, ra, dec, epoch);
    } else {
        text = comment_line_text(name);
    }
    objects->insert(row, object);
    emit rows_inserted(row, row);
    form->velto_obj_lst->insertItem(row, new List_row(text));
    hand_edits = true;
    renumber_from(row + 1);
    form->velto_obj_lst->setCurrentRow(row);
    last_row = row;
    show_current_on_sky();
}

void Velto_list::insert_comment(int row, const QString &text)
{
    insert_object(row, text, QString(), QString(), QStringLiteral("2000.0"));
}

void Velto_list::remove_row(int row)
{
    if (row < 0 || row >= objects->size())
        return;
    delete objects->takeAt(row);
    emit rows_removed(row, row);
    delete form->velto_obj_lst->takeItem(row);
    hand_edits = true;
    last_row = current_row();
    renumber_from(row);
    show_current_on_sky();
}

void Velto_list::clear_list()
{
    const int n = int(objects->size());
    form->velto_obj_lst->clear();
    while (!objects->isEmpty())
        delete objects->takeLast();
    if (n > 0)
        emit rows_removed(0, n - 1);
    hand_edits = false;
    show_current_on_sky();
}

void Velto_list::on_velto_clr_lst_btn_clicked()
{
    clear_list();
}

void Velto_list::on_velto_get_lst_btn_clicked()
{
    read_list();
}

void Velto_list::velto_list_choice(int row)
{
    if (!is_object_row(row))
        return;
    choose(row);
    show_on_sky(row);
}

// The first click on a row only highlights it; a click on the row that was
// already the last one fills the form.
void Velto_list::velto_list_click(QListWidgetItem *item)
{
    const int row = form->velto_obj_lst->row(item);
    if (is_object_row(row)) {
        if (row == last_row)
            choose(row);
        show_on_sky(row);
    }
    last_row = row;
}

void Velto_list::velto_list_doubleclick(QListWidgetItem *item)
{
    const int row = form->velto_obj_lst->row(item);
    if (is_object_row(row)) {
        choose(row);
        show_on_sky(row);
    }
    last_row = row;
}

// The list and the button box follow the window; the first resize, when the
// window is first shown, leaves them as the form made them.
void Velto_list::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    size_seen = event->size();
    if (!first_resize) {
        const QSize d = event->size() - event->oldSize();
        QListWidget *list = form->velto_obj_lst;
        list->resize(list->width() + d.width(), list->height() + d.height());
        QWidget *box = form->velto_btn_box;
        box->resize(box->width() + d.width(), box->height());
    }
    first_resize = false;
}
