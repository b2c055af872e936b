#pragma once

#include <QPalette>
#include <QString>
#include <QStringList>

class QWidget;

// Night colours: every window dim red on black, so that the observer's eyes
// stay used to the dark. Off, everything is as it was before.

// The palette of every window, menu, tooltip, box and dialog at night.
QPalette night_palette();

// Sets or takes back the night palette for the whole program (tooltips and
// Qt's own dialogs included). Nothing is stored between runs.
void set_night_colours(bool on);
bool night_colours_on();

// Notes the label's day colours (a state, mode or connection label). By
// night it gives the label the night look of those colours: a red shade,
// inverted or not, with lines over or under the text, so that each day look
// keeps a night look of its own; it returns true. By day it gives the label
// back its day font and returns false, leaving the day colours to the caller.
bool show_night_label_look(QWidget *label, const QString &text_colour, const QString &background);
// The day colours last noted for the label (text, background); empty if none.
QStringList day_label_colours(const QWidget *label);

// A button style sheet that sets a text colour, in the colours now shown:
// "color: gray;" and "color: black;" by day, their red shades by night.
// Other sheets come back unchanged.
QString sheet_in_shown_colours(const QString &sheet);
