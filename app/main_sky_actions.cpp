#include "app/velto_obj_list.h"
#include "sky/velto_sky.h"

// The sky chart's two View actions.

// A ticked item means the OVT view or the A/Z grid.
void Velto_Obj_List::on_actionViewVelto_triggered(bool checked)
{
    sky_win->set_view_ovt(checked);
}

void Velto_Obj_List::on_actionAZGrid_triggered(bool checked)
{
    sky_win->set_azgrid(checked);
}
