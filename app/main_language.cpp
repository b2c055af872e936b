#include "app/velto_obj_list.h"

// Language switching, help and about.

void Velto_Obj_List::install_translator() {}
void Velto_Obj_List::on_actionNatLang_triggered(bool) {}
void Velto_Obj_List::on_actionAbout_Qt_triggered() {}
void Velto_Obj_List::on_actionAbout_triggered() {}
void Velto_Obj_List::on_actionHelp_triggered() {}
