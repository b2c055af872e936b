#include "app/quit_signals.h"
#include "app/velto_obj_list.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int code = 0;
    catch_quit_signals();
    {
        Velto_Obj_List window;
        quit_on_caught_signals(window);
        // The toolkit leaves the program's own option among the arguments.
        if (app.arguments().mid(1).contains(QLatin1String("--night")))
            window.findChild<QAction *>(QStringLiteral("actionNight_colours"))->trigger();
        window.show();
        code = QApplication::exec();
    } // the main window writes its stop line here
    return code;
}
