#pragma once

#include "sim/horizon_profile.h"
#include "sim/telescope_model.h"
#include "sim/users_table.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The four scripts of the TCS web host, as plain functions of the request's
// query (exactly as it came, percent-encoding untouched) to an answer. The
// server adds HTTP and faults around them.
struct SimAnswer {
    int status = 200;
    QByteArray body; // text/plain, one item per line
};

using QueryItemList = QList<QPair<QString, QString>>;

// Splits a raw query into decoded (key, value) pairs, in order. '+' is a plus
// sign, not a space. Returns false, with a reason, for bad percent-encoding or
// text that is not UTF-8.
bool parse_query(const QByteArray &raw_query, QueryItemList &items, QString *error);

class TcsScripts
{
public:
    TcsScripts(TelescopeModel &model, const UsersTable &users, const HorizonProfiles &horizons);

    // "/tcs/velto_users_all.cgi": "login description" per user.
    SimAnswer users() const;
    // "/tcs/vtcs_get.cgi": the state reply. ready = false reports a TCS that
    // is not Ok (a fault for the client's tests).
    SimAnswer state(const QByteArray &raw_query, bool ready);
    // "/tcs/vtcs_send.cgi": the command's outcome on the first line, the TCS
    // state on the second.
    SimAnswer command(const QByteArray &raw_query, bool ready);
    // "/tcs/velto_horizon.php?dir" or "?rev".
    SimAnswer horizon(const QByteArray &raw_query) const;

    // The status line of a TCS that is not ready.
    static QByteArray not_ready_state_line();

private:
    // Who the request is served as, and why not as the named user.
    struct Caller {
        const SimUser *user;
        QString permission; // a "Permission..." line, empty when the credentials are good
    };
    Caller identify(const QueryItemList &items) const;
    CommandOutcome run_command(const QString &name, const Caller &caller,
                               const QueryItemList &items);

    TelescopeModel &telescope;
    const UsersTable &user_table;
    const HorizonProfiles &profiles;
};

// The first value of a key in the items, and whether it was there.
bool query_value(const QueryItemList &items, const QString &key, QString *value);
