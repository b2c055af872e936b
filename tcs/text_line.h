#pragma once

#include <QByteArray>

// A line of a TCS answer or of a list file without its "\n" or "\r\n"; a line
// that ends without a newline keeps all its characters.
inline QByteArray without_line_end(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}
