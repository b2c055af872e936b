#pragma once

#include "tcs/tcs_url.h"

#include <QString>

// The checks a telescope command passes before anything is sent to
// "/tcs/vtcs_send.cgi", and the query items it carries when it passes.

// What the command reads: the credentials, the form texts as typed, the
// stored correction texts and the telescope state text ("TelMode").
struct CommandInput {
    QString user;
    QString passwd;
    QString ra;       // velto_ra_edt
    QString dec;      // velto_decl_edt
    QString epoch;    // velto_epoch_edt
    QString name;     // velto_obj_edt
    QString off_ha;   // velto_offha_edt, arcseconds
    QString off_dec;  // velto_offdec_edt, arcseconds
    QString corr_ha;  // hour-angle correction, seconds of time
    QString corr_dec; // declination correction, arcseconds
    QString state_text;
};

// Either the items of the request, in the order they are sent with "Cmd"
// last, or a refusal: the status-bar text (English source text, translated
// in the context "Velto_Obj_List" by status_text()) and the English line for
// standard error.
struct CommandCheck {
    QueryItems items;
    const char *status = nullptr;
    QString error_line;

    bool refused() const { return status != nullptr; }
    QString status_text() const;
};

// "Send" and "Slew" carry the object of the form, "Corr" the offsets,
// "AdCorr" the corrections; the command name picks its branch by its
// beginning ("S", "Cor", "AdCor"). A name that matches no branch is sent
// with the credentials only.
CommandCheck check_command(const QString &command, const CommandInput &input);

// "Stop" needs only a password: it is sent whatever the telescope does.
CommandCheck check_stop(const CommandInput &input);

// The Stop key works where the Stop button may be out of reach, so it asks
// what the enabled button would: a host, and a level of 3 or more last
// reported for the logged-in user (0: none reported). A failed state reply
// since then does not count against it.
CommandCheck check_stop_key(const QString &host, int known_level, const CommandInput &input);
