#include "app/velto_obj_list.h"

// Users list, login and the password field.

void Velto_Obj_List::on_velto_show_pass_btn_pressed() {}
void Velto_Obj_List::on_velto_show_pass_btn_released() {}
void Velto_Obj_List::on_velto_passwd_set_btn_clicked() {}
void Velto_Obj_List::on_velto_passwd_edt_editingFinished() {}
void Velto_Obj_List::velto_get_users_finish() {}
void Velto_Obj_List::velto_get_users_error(QNetworkReply::NetworkError) {}
void Velto_Obj_List::on_velto_user_cb_currentIndexChanged(int) {}
void Velto_Obj_List::on_velto_user_cb_currentIndexChanged(const QString &) {}
