#pragma once

#include <QStringView>

// Numbers that come from outside (TCS replies, horizon lines, list files, form
// fields) are read with '.' as the decimal point. "nan", "inf" and overflowing
// texts are not numbers for this program: they read as 0 with ok = false.
double read_number(QStringView text, bool *ok = nullptr);
