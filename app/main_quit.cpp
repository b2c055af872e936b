#include "app/velto_obj_list.h"

#include "coords/log_line.h"
#include "coords/night_log.h"
#include "objlist/velto_list.h"
#include "ui_velto_obj_list.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

// Quitting with rows that no file holds: the observer is asked; a signal,
// which cannot ask, leaves them in a file beside the night log.

void Velto_Obj_List::on_actionQuit_triggered()
{
    if (!close())
        return; // the observer went back to the list
    for (QWidget *window : auxiliary_windows())
        window->close();
}

void Velto_Obj_List::closeEvent(QCloseEvent *event)
{
    if (quitting_on_signal || may_quit())
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

bool Velto_Obj_List::may_quit()
{
    if (!list_win->has_unsaved_rows())
        return true;
    QMessageBox box(QMessageBox::Question, windowTitle(),
                    tr("The object list has rows inserted or removed by hand that are not saved "
                       "in any file. Save the list before quitting?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    const int answer = box.exec();
    // A signal during the question ends the program without waiting for it.
    if (quitting_on_signal || answer == QMessageBox::Discard)
        return true;
    // A save cancelled or failed goes back to the program.
    return answer == QMessageBox::Save && (list_win->save_list() || quitting_on_signal);
}

void Velto_Obj_List::quit_on_signal()
{
    quitting_on_signal = true;
    if (list_win->has_unsaved_rows()) {
        const QString path = unsaved_list_path(QDateTime::currentDateTimeUtc());
        QDir().mkpath(QFileInfo(path).path());
        QString reason;
        if (list_win->write_copy(path, reason)) {
            log_err(QLatin1String("Velto unsaved list written to ") + path);
            night_log(QStringLiteral("unsaved list written"), path);
        } else {
            log_err(QLatin1String("Velto list save error ") + path + QLatin1String(": ") + reason);
        }
    }
    form->actionQuit->trigger();
}
