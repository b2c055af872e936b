#include "app/velto_obj_list.h"

// The File and ObjList actions on the object list.

void Velto_Obj_List::on_actionClear_list_triggered() {}
void Velto_Obj_List::on_actionRead_and_Add_list_triggered() {}
void Velto_Obj_List::on_actionSave_list_triggered() {}
void Velto_Obj_List::on_actionInsert_Object_triggered() {}
void Velto_Obj_List::on_actionAdd_Object_triggered() {}
void Velto_Obj_List::on_actionRemove_Object_triggered() {}
void Velto_Obj_List::on_actionInsert_Comment_triggered() {}
