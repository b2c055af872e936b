#include "app/velto_obj_list.h"

// The sky chart's two View actions.

void Velto_Obj_List::on_actionViewVelto_triggered(bool) {}
void Velto_Obj_List::on_actionAZGrid_triggered(bool) {}
