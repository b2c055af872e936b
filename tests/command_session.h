#pragma once

#include "main_window_probe.h"
#include "sim/tcs_sim_server.h"
#include "tcs/tcs_host.h"

#include <QtTest>
#include <functional>

// The in-process TCS simulator on a loopback port and a main window that
// talks to it, logged in as the guest with polling off: what the command
// tests share.
class CommandSession
{
public:
    static inline const QByteArray send_script = "/tcs/vtcs_send.cgi";

    // In initTestCase: the simulator's clock stands still unless advanced.
    bool start()
    {
        if (!sim.start())
            return false;
        set_default_tcs_host(sim.host_text());
        sim.clock().set_speed(0);
        return true;
    }

    // In init: no faults, a new window whose users list has arrived, and
    // nothing received yet.
    void open_window()
    {
        sim.set_fault(SimScript::All, SimFault::None);
        sim.set_canned_body(SimScript::Command, std::nullopt);
        window = new Velto_Obj_List;
        QTRY_VERIFY(probe().form().velto_user_cb->count() > 0);
        sim.clear_received();
    }

    // In cleanup: no reply may outlive its window.
    void close_window()
    {
        QTRY_VERIFY(!probe().commandReplyPending() && !probe().stateReplyPending());
        delete window;
        window = nullptr;
    }

    MainWindowProbe probe() const { return MainWindowProbe(*window); }

    // The command requests the simulator received, in order.
    QList<QByteArray> command_targets() const
    {
        QList<QByteArray> targets;
        for (const QByteArray &target : sim.received_targets())
            if (target.startsWith(send_script))
                targets << target;
        return targets;
    }

    // A state request sent after whatever the test did: once it has been
    // answered, a command issued before it would have arrived too.
    void sentinel_poll()
    {
        const int before = sim.received_targets().size();
        const auto state_request_arrived = [this, before] {
            const QList<QByteArray> targets = sim.received_targets();
            for (int i = before; i < targets.size(); ++i)
                if (targets[i].startsWith("/tcs/vtcs_get.cgi"))
                    return true;
            return false;
        };
        probe().form().velto_get_btn->click();
        QTRY_VERIFY(state_request_arrived());
        QTRY_VERIFY(!probe().stateReplyPending());
    }

    // Presses something that sends a command and waits for its answer.
    void send_and_wait(const std::function<void()> &press)
    {
        press();
        QTRY_VERIFY(!probe().commandReplyPending());
    }

    // Calls a form slot as its button would.
    void call(const char *slot) { QVERIFY(QMetaObject::invokeMethod(window, slot)); }

    TcsSimServer sim;
    Velto_Obj_List *window = nullptr;
};
