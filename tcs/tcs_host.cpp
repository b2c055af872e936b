#include "tcs/tcs_host.h"

#include "velto_config.h"

namespace
{

QString &host_setting()
{
    static QString host = QStringLiteral(VELTO_DEFAULT_TCS_HOST);
    return host;
}

} // namespace

QString default_tcs_host()
{
    return host_setting();
}

void set_default_tcs_host(const QString &host)
{
    host_setting() = host;
}
