#include "coords/log_line.h"

#include <cstdio>

namespace
{

std::function<void(LogStream, const QString &)> &log_sink()
{
    static std::function<void(LogStream, const QString &)> sink;
    return sink;
}

void write_line(std::FILE *stream, LogStream kind, const QString &line)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
    if (log_sink())
        log_sink()(kind, line);
}

} // namespace

void log_out(const QString &line)
{
    write_line(stdout, LogStream::Out, line);
}

void log_err(const QString &line)
{
    write_line(stderr, LogStream::Err, line);
}

void set_log_sink(std::function<void(LogStream, const QString &)> sink)
{
    log_sink() = std::move(sink);
}
