#include "app/velto_obj_list.h"

#include "app/stop_key.h"

// What the observer needs after dark beyond the form: the Stop key.

void Velto_Obj_List::create_night_tools()
{
    connect(new StopKey(this), &StopKey::pressed, this, &Velto_Obj_List::press_stop_key);
}
