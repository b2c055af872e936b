#pragma once

#include "coords/log_line.h"

#include <QStringList>

// Collects the lines the program writes to standard output and error.
struct LogCapture {
    LogCapture()
    {
        set_log_sink([this](LogStream stream, const QString &line) {
            (stream == LogStream::Out ? out : err) << line;
        });
    }
    ~LogCapture() { set_log_sink({}); }
    Q_DISABLE_COPY(LogCapture)

    QStringList out, err;
};
