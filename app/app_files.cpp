#include "app/app_files.h"

#include <QCoreApplication>

namespace
{

QString &redirected_dir()
{
    static QString dir;
    return dir;
}

} // namespace

QString app_files_dir()
{
    if (!redirected_dir().isEmpty())
        return redirected_dir();
    return QCoreApplication::applicationDirPath();
}

QString app_files_name()
{
    return QCoreApplication::applicationName();
}

void set_app_files_dir(const QString &dir)
{
    redirected_dir() = dir;
}

QString app_file(const QString &suffix)
{
    return app_files_dir() + QLatin1Char('/') + app_files_name() + suffix;
}
