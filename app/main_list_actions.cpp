#include "app/velto_obj_list.h"

#include "objlist/lst_line.h"
#include "objlist/velto_list.h"
#include "ui_velto_obj_list.h"

// The File and ObjList actions on the object list.

namespace
{

// New rows go before the current row; with no current row, at the top.
int insertion_row(const Velto_list *list)
{
    return qMax(list->current_row(), 0);
}

void show_if_hidden(QWidget *window)
{
    if (window->isHidden())
        window->show();
}

} // namespace

// The form's object as a list row. Coordinates typed with blanks ("12 00 00")
// get colons, as the list reader gives them, so the object's numbers match
// its row; coordinates that are no numbers make the name a comment row.
void Velto_Obj_List::insert_form_object(int row)
{
    const QString ra = colon_form(form->velto_ra_edt->text());
    const QString dec = colon_form(form->velto_decl_edt->text());
    const QString epoch = form->velto_epoch_edt->text().simplified();
    const QString name = form->velto_obj_edt->text().trimmed();
    if (valid_coordinates(ra, dec))
        list_win->insert_object(row, name, ra, dec, epoch);
    else
        list_win->insert_comment(row, name);
}

void Velto_Obj_List::on_actionClear_list_triggered()
{
    show_if_hidden(list_win);
    list_win->clear_list();
}

void Velto_Obj_List::on_actionRead_and_Add_list_triggered()
{
    list_win->read_list();
    show_if_hidden(list_win);
}

void Velto_Obj_List::on_actionSave_list_triggered()
{
    list_win->save_list();
}

void Velto_Obj_List::show_save_failed(const QString &path)
{
    statusBar()->showMessage(tr("List not saved: %1").arg(path));
}

void Velto_Obj_List::on_actionInsert_Object_triggered()
{
    insert_form_object(insertion_row(list_win));
}

void Velto_Obj_List::on_actionAdd_Object_triggered()
{
    insert_form_object(int(obj_list->size()));
}

void Velto_Obj_List::on_actionRemove_Object_triggered()
{
    if (!obj_list->isEmpty())
        list_win->remove_row(list_win->current_row());
}

// With no current row the comment goes to the top, as a new object does.
void Velto_Obj_List::on_actionInsert_Comment_triggered()
{
    list_win->insert_comment(insertion_row(list_win), form->velto_obj_edt->text().trimmed());
}
