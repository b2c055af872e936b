#include "app/velto_obj_list.h"

#include "app/stop_key.h"
#include "coords/night_log.h"
#include "ui_velto_obj_list.h"

#include <QDesktopServices>
#include <QUrl>

// What the observer needs after dark beyond the form: the Stop key and the
// night log.

void Velto_Obj_List::create_night_tools()
{
    connect(new StopKey(this), &StopKey::pressed, this, &Velto_Obj_List::press_stop_key);
    connect(form->actionOpen_night_log, &QAction::triggered, this, [] {
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(night_log_path(QDateTime::currentDateTimeUtc())));
    });
    set_night_log_user(query_user);
    night_log(QStringLiteral("start"), QLatin1String("host ") + host);
}
