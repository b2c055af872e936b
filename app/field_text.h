#pragma once

class QLineEdit;
class QString;

// Puts a text the program fills in into a line edit, showing its beginning:
// a narrow field would otherwise scroll to the end and hide the sign of
// "-12.75" or the hours of a coordinate.
void show_field_text(QLineEdit *field, const QString &text);
