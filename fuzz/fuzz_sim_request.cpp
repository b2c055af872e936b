#include "coords/number_text.h"
#include "fuzz_check.h"
#include "sim/tcs_scripts.h"
#include "tcs/state_reply.h"
#include "tcs/tcs_url.h"

#include <QRegularExpression>
#include <QStringDecoder>

// The simulator's request handling: each input line is one request (first byte:
// the script and the minutes before it, the rest: the raw query) to one simulated
// telescope, so sequences such as a slew and corrections are explored. A query
// read and encoded again by the program reads the same; an answer is UTF-8 text
// of whole lines without control characters, and a state's numbers are numbers.
void fuzz(const QByteArray &bytes)
{
    SimClock clock;
    clock.set_speed(0), clock.set_time(QDateTime(QDate(2025, 3, 1), QTime(20, 0), Qt::UTC));
    const HorizonProfiles horizons;
    const UsersTable users = UsersTable::built_in();
    TelescopeModel model(clock, horizons);
    TcsScripts scripts(model, users, horizons);
    for (QByteArray request : bytes.split('\n')) {
        if (request.isEmpty())
            continue;
        const auto head = static_cast<unsigned char>(request.front());
        request.remove(0, 1);
        clock.advance(60.0 * (head >> 2));
        QueryItemList items, again;
        QString error;
        if (parse_query(request, items, &error))
            FUZZ_CHECK(parse_query(encode_query(items), again, &error) && again == items);
        const int script = head & 3;
        const SimAnswer answer = script == 0   ? scripts.state(request, true)
                                 : script == 3 ? scripts.horizon(request)
                                               : scripts.command(request, head & 1);
        FUZZ_CHECK(answer.status == 200 || answer.status == 400);
        FUZZ_CHECK(answer.body.isEmpty() || answer.body.endsWith('\n'));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(answer.body);
        static const QRegularExpression control(QStringLiteral("[\\x00-\\x09\\x0b-\\x1f\\x7f]"));
        FUZZ_CHECK(!utf8.hasError() && !text.contains(control));
        using K = StateKey;
        static const QList<K> numeric{K::Stime, K::RA,   K::Dec,   K::HA,     K::A, K::Z,
                                      K::VHA,   K::VDec, K::OffHA, K::OffDec, K::PA};
        for (const StateItem &item : parse_state_reply(reply_lines(answer.body)).items) {
            bool ok = false;
            read_number(item.text, &ok);
            FUZZ_CHECK(ok || !numeric.contains(item.key));
        }
    }
}
