#include "coords/number_text.h"
#include "fuzz_check.h"
#include "sim/tcs_scripts.h"
#include "tcs/state_reply.h"
#include "tcs/tcs_url.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace
{

// Every key of a state or command answer that carries a number.
bool numeric_key(StateKey key)
{
    switch (key) {
    case StateKey::Stime:
    case StateKey::RA:
    case StateKey::Dec:
    case StateKey::HA:
    case StateKey::A:
    case StateKey::Z:
    case StateKey::VHA:
    case StateKey::VDec:
    case StateKey::OffHA:
    case StateKey::OffDec:
    case StateKey::PA:
        return true;
    default:
        return false;
    }
}

// An answer is UTF-8 text of whole lines without control characters, and the
// numbers of a state answer are numbers (never "nan" or "inf").
void check_answer(const SimAnswer &answer, bool state_items)
{
    FUZZ_CHECK(answer.status == 200 || answer.status == 400);
    FUZZ_CHECK(answer.body.isEmpty() || answer.body.endsWith('\n'));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(answer.body);
    FUZZ_CHECK(!utf8.hasError());
    static const QRegularExpression control(QStringLiteral("[\\x00-\\x09\\x0b-\\x1f\\x7f]"));
    FUZZ_CHECK(!text.contains(control));
    if (answer.status != 200 || !state_items)
        return;
    for (const StateItem &item : parse_state_reply(reply_lines(answer.body)).items) {
        bool ok = false;
        read_number(item.text, &ok);
        FUZZ_CHECK(!numeric_key(item.key) || ok);
    }
}

// The client's query encoding and the simulator's decoding agree: what the
// simulator read, sent again by the program, is read the same way.
void check_query_round_trip(const QueryItemList &items)
{
    QueryItemList again;
    QString error;
    FUZZ_CHECK(parse_query(encode_query(items), again, &error));
    FUZZ_CHECK(again == items);
}

} // namespace

// The simulator's request handling: each input line is one request (first
// byte: the script and the minutes that pass before it, the rest: the raw
// query) to a fresh simulated telescope, so sequences such as a slew followed
// by corrections are explored.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SimClock clock;
    clock.set_speed(0);
    clock.set_time(QDateTime(QDate(2025, 3, 1), QTime(20, 0), Qt::UTC));
    const HorizonProfiles horizons;
    const UsersTable users = UsersTable::built_in();
    TelescopeModel model(clock, horizons);
    TcsScripts scripts(model, users, horizons);

    for (QByteArray request : fuzz_bytes(data, size).split('\n')) {
        if (request.isEmpty())
            continue;
        const auto head = static_cast<unsigned char>(request.front());
        request.remove(0, 1);
        clock.advance(60.0 * (head >> 2));
        QueryItemList items;
        QString error;
        if (parse_query(request, items, &error))
            check_query_round_trip(items);
        switch (head & 3) {
        case 0:
            check_answer(scripts.state(request, true), true);
            break;
        case 1:
        case 2:
            check_answer(scripts.command(request, head & 1), true);
            break;
        default:
            check_answer(scripts.horizon(request), false);
            break;
        }
    }
    return 0;
}
