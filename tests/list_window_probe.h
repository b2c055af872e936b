#pragma once

#include "objlist/velto_list.h"
#include "ui_velto_list.h"

// Lets tests read the list window's form and state.
class ListWindowProbe
{
public:
    explicit ListWindowProbe(Velto_list &window) : window(window) {}

    Ui::Velto_list &form() const { return *window.form; }
    QListWidget &rows() const { return *window.form->velto_obj_lst; }
    int lastRow() const { return window.last_row; }
    const QString &lastFile() const { return window.last_file; }
    QStringList texts() const
    {
        QStringList result;
        for (int row = 0; row < rows().count(); ++row)
            result << rows().item(row)->text();
        return result;
    }

private:
    Velto_list &window;
};
