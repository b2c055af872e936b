#pragma once

#include "coords/log_line.h"

#include <QStringList>

// Collects the lines the program writes to standard output and error.
class LogCapture
{
public:
    LogCapture()
    {
        set_log_sink([this](LogStream stream, const QString &line) {
            (stream == LogStream::Out ? out : err) << line;
        });
    }
    ~LogCapture() { set_log_sink({}); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList out;
    QStringList err;
};
