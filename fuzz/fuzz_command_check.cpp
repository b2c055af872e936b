#include "coords/number_text.h"
#include "corr/corr_step.h"
#include "fuzz_check.h"
#include "tcs/command_check.h"

#include <cmath>

namespace
{

// Keys whose values the TCS reads as numbers.
bool numeric_item(const QString &key)
{
    return key == QLatin1String("offHA") || key == QLatin1String("offDec") ||
           key == QLatin1String("dHA") || key == QLatin1String("dDec") ||
           key == QLatin1String("Epoch");
}

// The corrections pad divides the hour-angle step by cos(Dec): near the pole
// the step is refused (an empty text), never sent as "inf" or "nan".
void check_divided_step(const QString &typed, const QString &dec_text)
{
    const double dec = read_number(dec_text);
    for (const Move move : {Move::Minus, Move::Plus}) {
        const QString text = ha_step_text(typed, move, true, dec);
        if (text.isEmpty())
            continue;
        bool ok = false;
        const double step = read_number(text, &ok);
        FUZZ_CHECK(ok && std::fabs(step) <= max_divided_ha_step);
    }
}

} // namespace

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
    input.user = field(0);
    input.passwd = field(1);
    input.ra = field(2);
    input.dec = field(3);
    input.epoch = field(4);
    input.name = field(5);
    input.off_ha = field(6);
    input.off_dec = field(7);
    input.corr_ha = field(8);
    input.corr_dec = field(9);
    input.state_text = field(10);
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
            if (!numeric_item(key))
                continue;
            bool ok = false;
            read_number(value, &ok);
            FUZZ_CHECK(ok);
        }
    }
    check_divided_step(input.corr_ha, field(12));
    return 0;
}
