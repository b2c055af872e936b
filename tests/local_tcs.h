#pragma once

#include "sim/tcs_sim_server.h"
#include "tcs/tcs_host.h"

// A main window asks its TCS host for the users list as soon as it exists; a
// host that does not answer ends the program. Tests that open main windows
// hold one of these: the simulator on a free loopback port, made the host.
struct LocalTcs {
    LocalTcs()
    {
        if (!sim.start())
            qFatal("cannot start the TCS simulator: %s", qPrintable(sim.error_text()));
        set_default_tcs_host(sim.host_text());
    }
    TcsSimServer sim;
};

// The command requests the simulator received, in order.
inline QList<QByteArray> command_targets(const TcsSimServer &sim)
{
    QList<QByteArray> targets = sim.received_targets();
    targets.removeIf([](const QByteArray &t) { return !t.startsWith("/tcs/vtcs_send.cgi"); });
    return targets;
}
