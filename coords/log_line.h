#pragma once

#include <QString>
#include <functional>

// Informational lines go to standard output, error lines to standard error;
// each line gets its newline and the stream is flushed at once.
void log_out(const QString &line);
void log_err(const QString &line);

enum class LogStream { Out, Err };
// Tests see every line as it is written (the streams still get them).
// An empty function removes the sink.
void set_log_sink(std::function<void(LogStream, const QString &)> sink);
