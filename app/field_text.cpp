#include "app/field_text.h"

#include <QLineEdit>

void show_field_text(QLineEdit *field, const QString &text)
{
    field->setText(text);
    field->setCursorPosition(0);
}
