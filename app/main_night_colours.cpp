#include "app/velto_obj_list.h"

#include "app/eye_icon.h"
#include "app/night_colours.h"
#include "app/night_pictures.h"
#include "app/velto_about.h"
#include "sky/velto_sky.h"
#include "ui_velto_obj_list.h"

// Night colours for every window, from the Windows menu or "--night".

void Velto_Obj_List::on_actionNight_colours_triggered(bool checked)
{
    set_night_colours(checked);
    // The state labels show the looks of the colours they were last given.
    for (QLabel *label : {form->vtcs_connect_lab, form->velto_tcs_lab, form->velto_state_lab}) {
        const QStringList day = day_label_colours(label);
        if (day.size() == 2)
            velto_set_color(label, day.at(0), day.at(1));
    }
    for (QPushButton *button : findChildren<QPushButton *>()) {
        const QString sheet = sheet_in_shown_colours(button->styleSheet());
        if (sheet != button->styleSheet())
            button->setStyleSheet(sheet);
    }
    form->velto_show_pass_btn->setIcon(icon_in_shown_colours(eye_icon()));
    sky_win->set_colours(checked ? night_sky_colours() : day_sky_colours());
    about_win->set_about_text();
}
