#include "coords/number_text.h"
#include "corr/corr_step.h"
#include "fuzz_check.h"
#include "tcs/command_check.h"

#include <cmath>

// The checks of a telescope command, with every form field and correction from the input: a command
// is either refused with a status text and an error line, or sent with "Cmd" last and every number
// a finite number. Tab-separated fields: user, password, RA, Dec, epoch, name, offsets,
// corrections, state text, a command name and the telescope's declination.
void fuzz(const QByteArray &bytes)
{
    const QList<QByteArray> fields = bytes.split('\t');
    const auto field = [&fields](int i) { return QString::fromUtf8(fields.value(i)); };
    const CommandInput input{field(0), field(1), field(2), field(3), field(4), field(5),
                             field(6), field(7), field(8), field(9), field(10)};
    const QStringList numeric{"offHA", "offDec", "dHA", "dDec", "Epoch"}; // read by the TCS
    for (const QString &command : QStringList{"Send", "Slew", "Corr", "AdCorr", field(11)}) {
        const CommandCheck check = check_command(command, input);
        FUZZ_CHECK(check.refused()
                       ? check.items.isEmpty() && !check.error_line.isEmpty()
                       : check.items.value(check.items.size() - 1).first == QLatin1String("Cmd"));
        for (const auto &[key, value] : check.items) {
            bool ok = false;
            read_number(value, &ok);
            FUZZ_CHECK(ok || !numeric.contains(key));
        }
    }
    // The corrections pad divides the hour-angle step by cos(Dec): near the pole
    // the step is refused (an empty text), never sent as "inf" or "nan".
    for (const Move move : {Move::Minus, Move::Plus}) {
        const QString text = ha_step_text(input.corr_ha, move, true, read_number(field(12)));
        bool ok = false;
        const double step = read_number(text, &ok);
        FUZZ_CHECK(text.isEmpty() || (ok && std::fabs(step) <= max_ha_step));
    }
}
