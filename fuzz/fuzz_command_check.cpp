#include "coords/number_text.h"
#include "corr/corr_step.h"
#include "fuzz_check.h"
#include "tcs/command_check.h"

#include <cmath>

// The checks of a telescope command, with every form field and correction
// from the input: a command is either refused with a status text and an
// error line, or sent with "Cmd" last and every number a finite number.
// Tab-separated fields: user, password, RA, Dec, epoch, name, offsets,
// corrections, state text, a command name and the telescope's declination.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> fields = fuzz_bytes(data, size).split('\t');
    const auto field = [&fields](int i) { return QString::fromUtf8(fields.value(i)); };
    CommandInput input;
    QString CommandInput::*const members[] = {
        &CommandInput::user,     &CommandInput::passwd,    &CommandInput::ra,
        &CommandInput::dec,      &CommandInput::epoch,     &CommandInput::name,
        &CommandInput::off_ha,   &CommandInput::off_dec,   &CommandInput::corr_ha,
        &CommandInput::corr_dec, &CommandInput::state_text};
    for (int i = 0; i < 11; ++i)
        input.*members[i] = field(i);
    // Keys whose values the TCS reads as numbers.
    const QStringList numeric{"offHA", "offDec", "dHA", "dDec", "Epoch"};
    const QStringList commands = {QStringLiteral("Send"), QStringLiteral("Slew"),
                                  QStringLiteral("Corr"), QStringLiteral("AdCorr"), field(11)};
    for (const QString &command : commands) {
        const CommandCheck check = check_command(command, input);
        if (check.refused()) {
            FUZZ_CHECK(check.items.isEmpty());
            FUZZ_CHECK(!check.error_line.isEmpty());
            continue;
        }
        FUZZ_CHECK(!check.items.isEmpty() && check.items.last().first == QLatin1String("Cmd"));
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
        FUZZ_CHECK(text.isEmpty() || (ok && std::fabs(step) <= max_divided_ha_step));
    }
    return 0;
}
