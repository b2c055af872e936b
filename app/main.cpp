#include "app/velto_obj_list.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int code = 0;
    {
        Velto_Obj_List window;
        window.show();
        code = app.exec();
    } // the main window writes its stop line here
    return code;
}
