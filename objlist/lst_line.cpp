#include "objlist/lst_line.h"

#include <QDate>
#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <QStringView>

namespace
{

// The defaults as texts that take no memory of their own: a long list holds
// many of them.
QString default_name()
{
    return QStringLiteral("Unknown");
}

QString default_epoch()
{
    return QStringLiteral("2000.0");
}

// Month names of a date epoch, compared exactly: "mar" is no month.
const QStringList &month_names()
{
    static const QStringList names = {
        QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
        QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
        QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    return names;
}

// \s takes the same white space as QString::simplified (U+00A0 among it) only
// with Unicode properties on; [0-9] stays ASCII digits.
QRegularExpression pattern(const char *text)
{
    return QRegularExpression(QLatin1String(text), QRegularExpression::UseUnicodePropertiesOption);
}

const QRegularExpression &object_start()
{
    static const QRegularExpression re = pattern("^\\s*[0-9]+\\s+[0-9]+\\s+[0-9]+");
    return re;
}

const QRegularExpression &numeric_date()
{
    static const QRegularExpression re = pattern("^[0-9]+-[0-9]+-[0-9]+");
    return re;
}

const QRegularExpression &named_month_date()
{
    static const QRegularExpression re = pattern("^[0-9]+-[A-Za-z]+-[0-9]+");
    return re;
}

bool is_separator(QChar c)
{
    return c == QLatin1Char(':') || c == QLatin1Char(';') || c == QLatin1Char('#');
}

// The pieces between separators, empty pieces kept.
QList<QStringView> split_pieces(QStringView line)
{
    QList<QStringView> pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (is_separator(line[i])) {
            pieces << line.mid(start, i - start);
            start = i + 1;
        }
    }
    pieces << line.mid(start);
    return pieces;
}

// Index of the second separator of the line, or -1.
qsizetype second_separator(QStringView line)
{
    int seen = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (is_separator(line[i]) && ++seen == 2)
            return i;
    }
    return -1;
}

bool is_ascii_digit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString simplified(QStringView text)
{
    return text.toString().simplified();
}

// The name of a line of four or more pieces: with a '#' everything after the
// first '#' (separators and all), else the fourth piece of four, else the last.
QString long_line_name(const QString &line, const QList<QStringView> &pieces, qsizetype hash)
{
    if (hash >= 0)
        return simplified(QStringView(line).mid(hash + 1));
    return simplified(pieces.size() == 4 ? pieces.at(3) : pieces.last());
}

QString epoch_text(QStringView piece)
{
    QString text = simplified(piece);
    if (text == default_epoch())
        return default_epoch();
    // Most epochs are decimal years: no '-', no date to look for.
    if (!text.contains(QLatin1Char('-')))
        return text;
    if (numeric_date().match(text).hasMatch() || named_month_date().match(text).hasMatch())
        return date_to_decimal_year(text);
    return text;
}

// A line that begins with a visible ASCII character other than a digit (a
// '#' or a word: most comments) is no object line; the regular expression
// decides the others.
bool cannot_be_object(const QString &line)
{
    if (line.isEmpty())
        return true;
    const char16_t first = line.front().unicode();
    return first > u' ' && first < 0x7f && !is_ascii_digit(line.front());
}

bool is_ascii_blank(char16_t u)
{
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

// Whether the line begins as object_start() says, decided without the
// expression for lines whose beginning is ASCII (white space outside ASCII
// goes to the expression): 1 yes, 0 no, -1 undecided.
int ascii_object_start(QStringView line)
{
    qsizetype i = 0;
    for (int number = 0; number < 3; ++number) {
        const qsizetype blanks_from = i;
        for (; i < line.size() && line[i].unicode() < 0x80; ++i) {
            if (!is_ascii_blank(line[i].unicode()))
                break;
        }
        if (i < line.size() && line[i].unicode() >= 0x80)
            return -1;
        if (number > 0 && i == blanks_from)
            return 0;
        const qsizetype digits_from = i;
        while (i < line.size() && is_ascii_digit(line[i]))
            ++i;
        if (i == digits_from)
            return 0;
    }
    return 1;
}

bool begins_as_object(const QString &line)
{
    const int ascii = ascii_object_start(line);
    return ascii < 0 ? object_start().match(line).hasMatch() : ascii == 1;
}

} // namespace

Lst_line parse_lst_line(const QString &line)
{
    Lst_line result;
    if (cannot_be_object(line) || !begins_as_object(line))
        return result;
    const QList<QStringView> pieces = split_pieces(line);
    const qsizetype n = pieces.size();
    if (n < 2)
        return result;

    result.is_object = true;
    result.ra = colon_form(pieces.at(0));
    result.dec = colon_form(pieces.at(1));
    result.name = default_name();
    result.epoch = default_epoch();
    const qsizetype hash = line.indexOf(QLatin1Char('#'));
    if (n == 2)
        return result;
    if (n == 3 && hash >= 0) {
        result.name = simplified(pieces.at(2));
        return result;
    }
    if (n >= 4)
        result.name = long_line_name(line, pieces, hash);
    // A '#' among the first two separators starts the name before the third
    // piece ("12 34 56 : +45 00 00 # Star:B"): that piece is a word of the
    // name, not an epoch, and the epoch stays the default.
    if (hash < 0 || hash > second_separator(line))
        result.epoch = epoch_text(pieces.at(2));
    return result;
}

QString date_to_decimal_year(const QString &date)
{
    const QStringList parts = date.split(QLatin1Char('-'));
    if (parts.size() < 3)
        return date;
    const int day = parts.at(0).toInt(nullptr, 10);
    const int year = parts.at(2).section(QLatin1Char('.'), 0, 0).toInt(nullptr, 10);
    const int month = named_month_date().match(date).hasMatch()
                          ? int(month_names().indexOf(parts.at(1))) + 1
                          : parts.at(1).toInt(nullptr, 10);
    // An impossible date (day 31 of a 30-day month, month 0 from an unknown
    // name, year 0 from an unreadable year) keeps its text: a made-up year
    // would move the object silently, a division by a zero-day year gives nan.
    const QDate calendar_date(year, month, day);
    if (!calendar_date.isValid())
        return date;
    const double value = year + double(calendar_date.dayOfYear()) / calendar_date.daysInYear();
    return QString::number(value, 'f', 2);
}

QString colon_form(QStringView coordinate)
{
    // simplified() and ':' for ' ' in one pass: a list has many coordinates.
    QString result;
    result.reserve(coordinate.size());
    bool blank_before = false;
    for (const QChar c : coordinate) {
        if (c.isSpace()) {
            blank_before = !result.isEmpty();
            continue;
        }
        if (blank_before)
            result += QLatin1Char(':');
        blank_before = false;
        result += c;
    }
    // The room reserved for the blanks would stay with every object of a list.
    result.squeeze();
    return result;
}

bool valid_coordinates(const QString &ra, const QString &dec)
{
    if (ra.size() < 2 || dec.size() < 2 || !is_ascii_digit(ra.front()))
        return false;
    qsizetype i = 0;
    while (i < dec.size() && (dec[i] == QLatin1Char('+') || dec[i] == QLatin1Char('-')))
        ++i;
    return i < dec.size() && is_ascii_digit(dec[i]);
}

QString object_line_text(const QString &name, const QString &ra, const QString &dec,
                         const QString &epoch)
{
    const QChar colon = QLatin1Char(':');
    const QChar blank = QLatin1Char(' ');
    // Concatenation, not arg(): a "%1" inside a field must stay as typed.
    const QString columns = blank + QString(ra).replace(colon, blank).leftJustified(11) +
                            QLatin1String(" : ") +
                            QString(dec).replace(colon, blank).leftJustified(11) +
                            QLatin1String(" ; ") + epoch.leftJustified(6) + blank;
    return columns + comment_line_text(name);
}

QString comment_line_text(const QString &text)
{
    return QLatin1String("# ") + text;
}
