#include "coords/night_log.h"

#include "coords/log_line.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{

QString &log_user()
{
    static QString user;
    return user;
}

QString clean(QString text)
{
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text;
}

// One write() of the whole line: a crash of the program loses no line. The
// sync to the disk follows on a pool thread, so a slow disk never holds back
// the command being logged; a power cut loses at most the last moment's lines.
bool append_line(const QString &path, const QByteArray &line, QString &reason)
{
    const QString dir = QFileInfo(path).path();
    if (!QDir().mkpath(dir)) {
        reason = QLatin1String("cannot create ") + dir;
        return false;
    }
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
    const int write_error = errno;
    ::close(fd);
    if (written == line.size()) {
        // The file is opened anew: queued syncs hold no descriptors.
        QThreadPool::globalInstance()->start([file = QFile::encodeName(path)] {
            const int sync_fd = ::open(file.constData(), O_WRONLY | O_CLOEXEC);
            if (sync_fd >= 0) {
                ::fdatasync(sync_fd);
                ::close(sync_fd);
            }
        });
        return true;
    }
    reason = written < 0 ? QString::fromLocal8Bit(std::strerror(write_error))
                         : QStringLiteral("the line was cut short");
    return false;
}

} // namespace

QDate night_of(const QDateTime &when)
{
    const QDateTime local = when.toLocalTime();
    return local.time().hour() < 12 ? local.date().addDays(-1) : local.date();
}

QString night_log_dir()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QLatin1String("/.local/state");
    return state + QLatin1String("/Velto_Obj_List");
}

QString night_log_path(const QDateTime &when)
{
    return night_log_dir() + QLatin1String("/night-") +
           night_of(when).toString(QStringLiteral("yyyy-MM-dd")) + QLatin1String(".log");
}

QString unsaved_list_path(const QDateTime &when)
{
    return night_log_dir() + QLatin1String("/unsaved-") +
           when.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")) + QLatin1String(".lst");
}

QByteArray night_log_line(const QDateTime &when, const QString &user, const QString &event,
                          const QString &details)
{
    const QString utc = when.toUTC().toString(Qt::ISODate);
    return (utc + QLatin1Char('\t') + clean(user) + QLatin1Char('\t') + clean(event) +
            QLatin1Char('\t') + clean(details) + QLatin1Char('\n'))
        .toUtf8();
}

void set_night_log_user(const QString &user)
{
    log_user() = user;
}

void night_log(const QString &event, const QString &details)
{
    static QString failure_said; // the file whose failure standard error has had
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString path = night_log_path(now);
    QString reason;
    if (append_line(path, night_log_line(now, log_user(), event, details), reason) ||
        path == failure_said)
        return;
    failure_said = path;
    log_err(QLatin1String("Velto night log error ") + path + QLatin1String(": ") + reason);
}
