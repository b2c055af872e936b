#include "tcs/command_answer.h"

#include "tcs/text_line.h"

namespace
{

bool is_state_line(const QString &line)
{
    return line.startsWith(QLatin1String("State"));
}

// A "State" line says Ok when everything after the first "=" of the trimmed
// line is exactly "Ok" ("State = Ok" is not).
bool state_line_ok(const QString &line)
{
    const QString trimmed = line.trimmed();
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    return equals >= 0 && QStringView(trimmed).mid(equals + 1) == QLatin1String("Ok");
}

} // namespace

CommandAnswer read_command_answer(const QByteArrayList &lines)
{
    CommandAnswer answer;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(without_line_end(lines.at(i)));
        answer.lines << line;
        if (i == 0)
            answer.first_line = line;
        else if (is_state_line(line))
            answer.state_ok = state_line_ok(line);
        if (i == 1 && !is_state_line(line))
            answer.later_message = line;
    }
    return answer;
}
