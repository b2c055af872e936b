#include "app/velto_obj_list.h"

// State polling and its display.

void Velto_Obj_List::on_velto_get_btn_clicked() {}
void Velto_Obj_List::on_velto_get_offset_btn_clicked() {}
void Velto_Obj_List::velto_get_timer() {}
void Velto_Obj_List::velto_view_timer() {}
void Velto_Obj_List::velto_get_finish() {}
void Velto_Obj_List::velto_get_error(QNetworkReply::NetworkError) {}
void Velto_Obj_List::velto_show_stat_msg() {}
