#include "objlist/list_row.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QListWidget>
#include <QStringDecoder>
#include <QStringEncoder>

namespace
{

// Length and trailing blanks of a row of printable ASCII in one number, -1
// for any other row (tabs, control characters, other scripts).
int size_key_of(const QString &text)
{
    constexpr qsizetype most_trailing = 0xfff;
    constexpr qsizetype longest = 0x7ffff;
    qsizetype trailing = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7e)
            return -1;
        trailing = u == u' ' ? trailing + 1 : 0;
    }
    if (text.size() > longest || trailing > most_trailing)
        return -1;
    return int((text.size() << 12) | trailing);
}

// Every printable ASCII character has the same advance, also next to each
// other (no kerning among them): the width of such a text follows from its
// length. Fonts named fixed-pitch are not trusted to be so.
bool ascii_in_one_width(const QFont &font)
{
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char(' '));
    QString all;
    for (char16_t u = 0x20; u <= 0x7e; ++u) {
        if (metrics.horizontalAdvance(QChar(u)) != advance)
            return false;
        all += QChar(u);
    }
    const QString pairs = QStringLiteral("AVAWAYFALTPATaTeToVaWaYoLYff11");
    for (const QString &text : {all, pairs})
        if (metrics.horizontalAdvance(text) != advance * qreal(text.size()))
            return false;
    return true;
}

} // namespace

List_row::List_row(const QByteArray &bytes, const QString &text)
    : bytes(bytes), size_key(size_key_of(text)), from_file(true)
{
}

List_row::List_row(const QString &text) : typed(text), size_key(size_key_of(text)), from_file(false)
{
}

QString List_row::shown_text() const
{
    if (!from_file)
        return typed;
    QStringDecoder decode(QStringConverter::System, QStringConverter::Flag::Stateless);
    return decode(bytes);
}

QVariant List_row::data(int role) const
{
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return shown_text();
    if (role == size_key_role)
        return size_key;
    return QListWidgetItem::data(role);
}

QByteArray List_row::line_bytes() const
{
    if (from_file)
        return bytes;
    QStringEncoder encode(QStringConverter::System, QStringConverter::Flag::Stateless);
    return encode(typed);
}

List_row_sizes::List_row_sizes(QListWidget *view) : QStyledItemDelegate(view)
{
    view->installEventFilter(this);
}

QSize List_row_sizes::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (option.font != measured_font) {
        sizes.clear();
        measured_font = option.font;
        one_width = ascii_in_one_width(measured_font);
    }
    const int key = index.data(List_row::size_key_role).toInt();
    if (key < 0 || !one_width)
        return QStyledItemDelegate::sizeHint(option, index);
    const auto known = sizes.constFind(key);
    if (known != sizes.constEnd())
        return *known;
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    sizes.insert(key, size);
    return size;
}

// The view's own events only clear the sizes: the base class would take its
// keys for an editor's.
bool List_row_sizes::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != parent())
        return QStyledItemDelegate::eventFilter(watched, event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        sizes.clear();
    return false;
}
