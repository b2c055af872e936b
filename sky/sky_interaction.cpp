#include "coords/sky_transform.h"
#include "coords/velto_object.h"
#include "sky/velto_sky.h"

#include <QMouseEvent>

// Picking objects with the mouse, the selection shared with the list window,
// and the two view switches of the main window.

void Velto_sky::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (!obj_list->isEmpty() && ready()) {
        const int row =
            pick_object(*obj_list, event->position().toPoint(), chart_width, chart_height);
        if (row >= 0) {
            selected = row;
            emit object_picked(row);
        }
    }
    update();
}

// A double click is one more press: a second pick of the same object hands
// it to the main window's form through the list window.
void Velto_sky::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void Velto_sky::set_selected(int row)
{
    if (row < 0 || obj_list->isEmpty())
        selected = -1;
    else
        selected = std::min(row, static_cast<int>(obj_list->size()) - 1);
    update();
}

void Velto_sky::list_changed()
{
    if (obj_list->isEmpty()) {
        selected = -1;
        return;
    }
    if (selected >= obj_list->size())
        selected = static_cast<int>(obj_list->size()) - 1;
    if (ready())
        update();
}

void Velto_sky::set_view_ovt(bool ovt)
{
    view = ovt ? SkyView::Ovt : SkyView::Sky;
    update();
}

void Velto_sky::set_azgrid(bool azgrid)
{
    grid = azgrid ? SkyGrid::AltAz : SkyGrid::HaDec;
    update();
}
