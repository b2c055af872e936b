// velto_tcs_sim: the TCS web host of the Velto-1000, simulated, for practice
// and for the program's tests.
#include "coords/log_line.h"
#include "sim/tcs_sim_server.h"
#include "tcs/tcs_host.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QUrl>

namespace
{

const char *const users_format =
    "Users file: one user per line, fields separated by blanks:\n"
    "    login password level description...\n"
    "The level is 1 to 5 (1 watches, 2 may Send, 3 and more may Slew, Stop,\n"
    "Corr and AdCorr); the description may be empty. Empty lines and lines\n"
    "beginning with '#' are skipped. Requests without good credentials are\n"
    "served as the first login beginning with \"guest\".\n"
    "Built-in users: guest/kelpo (1), obs1/star1 (2), oper/dome3 (3),\n"
    "admin/root5 (5).\n"
    "\n"
    "Horizon files: heading lines beginning with '#', then up to 360 lines\n"
    "\"azimuth altitude\" in degrees, azimuth from the north through the east.\n"
    "The program files the points by the headings: a direct profile needs a\n"
    "heading naming \"direct\" (or none), a reverse one a heading naming\n"
    "\"reverse\" and not \"direct\".\n"
    "\n"
    "Faults (--fault SCRIPT=FAULT, SCRIPT one of users, state, command,\n"
    "horizon, all): none, delay (answer after --fault-delay ms), never (no\n"
    "answer), hangup (connection closed without an answer), close (connection\n"
    "closed mid-reply), http500, empty (empty body),\n"
    "garbage (binary bytes), oversized (2 MiB body at once), oversized-stream\n"
    "(2 MiB streamed without a length), notok (state not Ok).\n";

quint16 default_port()
{
    const QUrl url(QStringLiteral("http://") + default_tcs_host());
    return static_cast<quint16>(url.port(8642));
}

bool read_file(const QString &name, QByteArray *bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        log_err(QStringLiteral("velto_tcs_sim: cannot read %1: %2").arg(name, file.errorString()));
        return false;
    }
    *bytes = file.readAll();
    return true;
}

// Loads a users or horizon file into its table; false after saying why.
template <typename Table, typename... Role>
bool load(const QString &name, Table &table, Role... role)
{
    QByteArray bytes;
    QString error;
    if (!read_file(name, &bytes))
        return false;
    if (!table.read(bytes, role..., &error)) {
        log_err(QStringLiteral("velto_tcs_sim: %1: %2").arg(name, error));
        return false;
    }
    return true;
}

bool apply_fault(const QString &setting, int delay_ms, TcsSimServer &sim)
{
    const QStringList parts = setting.split(QLatin1Char('='));
    const auto script = script_from_name(parts.value(0));
    const auto fault = fault_from_name(parts.value(1));
    if (parts.size() != 2 || !script || !fault) {
        log_err(QStringLiteral("velto_tcs_sim: --fault %1: expected SCRIPT=FAULT, see --help")
                    .arg(setting));
        return false;
    }
    sim.set_fault(*script, *fault, delay_ms);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velto_tcs_sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated TCS web host of the Velto-1000 telescope.\n"
                       "Answers /tcs/velto_users_all.cgi, /tcs/vtcs_get.cgi,\n"
                       "/tcs/vtcs_send.cgi and /tcs/velto_horizon.php?dir|rev.\n\n") +
        QLatin1String(users_format));
    parser.addHelpOption();
    const QCommandLineOption port_opt(
        QStringLiteral("port"),
        QStringLiteral("Port to listen on (default %1, from the program's default host).")
            .arg(default_port()),
        QStringLiteral("N"));
    const QCommandLineOption address_opt(
        QStringLiteral("address"), QStringLiteral("Address to listen on (default 127.0.0.1)."),
        QStringLiteral("ADDR"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption users_opt(QStringLiteral("users"),
                                       QStringLiteral("Users file replacing the built-in users."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption dir_opt(QStringLiteral("horizon-dir"),
                                     QStringLiteral("Direct horizon profile file."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption rev_opt(QStringLiteral("horizon-rev"),
                                     QStringLiteral("Reverse horizon profile file."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption speed_opt(
        QStringLiteral("speed"),
        QStringLiteral("Simulated seconds per real second (default 1; sidereal time too)."),
        QStringLiteral("F"), QStringLiteral("1"));
    const QCommandLineOption fault_opt(
        QStringLiteral("fault"), QStringLiteral("Fault of a script, SCRIPT=FAULT (repeatable)."),
        QStringLiteral("SCRIPT=FAULT"));
    const QCommandLineOption delay_opt(
        QStringLiteral("fault-delay"),
        QStringLiteral("Delay of the delay fault in milliseconds (default 3000)."),
        QStringLiteral("MS"), QStringLiteral("3000"));
    parser.addOptions(
        {port_opt, address_opt, users_opt, dir_opt, rev_opt, speed_opt, fault_opt, delay_opt});
    parser.process(app);

    TcsSimServer sim;
    bool ok = true;
    if (parser.isSet(users_opt))
        ok = load(parser.value(users_opt), sim.users()) && ok;
    if (parser.isSet(dir_opt))
        ok = load(parser.value(dir_opt), sim.horizons().direct, HorizonProfile::Role::Direct) && ok;
    if (parser.isSet(rev_opt))
        ok = load(parser.value(rev_opt), sim.horizons().reverse, HorizonProfile::Role::Reverse) &&
             ok;
    bool number_ok = false;
    const double speed = parser.value(speed_opt).toDouble(&number_ok);
    if (!number_ok || !sim.clock().set_speed(speed)) {
        log_err(QStringLiteral("velto_tcs_sim: --speed must be a number of 0 or more"));
        ok = false;
    }
    const int delay_ms = parser.value(delay_opt).toInt(&number_ok);
    if (!number_ok || delay_ms < 0) {
        log_err(QStringLiteral("velto_tcs_sim: --fault-delay must be milliseconds, 0 or more"));
        ok = false;
    }
    for (const QString &setting : parser.values(fault_opt))
        ok = apply_fault(setting, delay_ms, sim) && ok;
    const uint port =
        parser.isSet(port_opt) ? parser.value(port_opt).toUInt(&number_ok) : default_port();
    const QHostAddress address(parser.value(address_opt));
    if (!number_ok || port > 65535 || address.isNull()) {
        log_err(QStringLiteral("velto_tcs_sim: --port takes 0 to 65535, --address an IP address"));
        ok = false;
    }
    if (!ok)
        return 2;
    if (!sim.start(static_cast<quint16>(port), address)) {
        log_err(QStringLiteral("velto_tcs_sim: ") + sim.error_text());
        return 1;
    }
    log_out(QStringLiteral("velto_tcs_sim listening on http://%1:%2/tcs/")
                .arg(address.toString())
                .arg(sim.port()));
    return QCoreApplication::exec();
}
