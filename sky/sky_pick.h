#pragma once

#include <QList>
#include <QPoint>

class Velto_object;

// Index of the object drawn nearest to the pointer and closer than 10 pixels
// (squared distance at most 99), or -1. Positions are those of the last
// paint; unplaced objects and comments cannot be picked. Among objects at
// the same distance the first in the list wins.
int pick_object(const QList<Velto_object *> &objects, const QPoint &pointer, int chart_width,
                int chart_height);
