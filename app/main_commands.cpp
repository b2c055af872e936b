#include "app/velto_obj_list.h"

// Telescope commands.

void Velto_Obj_List::on_velto_send_btn_clicked() {}
void Velto_Obj_List::on_velto_slew_btn_clicked() {}
void Velto_Obj_List::on_velto_stop_btn_clicked() {}
void Velto_Obj_List::on_velto_set_offset_btn_clicked() {}
void Velto_Obj_List::velto_send_finish() {}
void Velto_Obj_List::velto_send_error(QNetworkReply::NetworkError) {}
void Velto_Obj_List::velto_send_corr(const QString &, const QString &) {}
