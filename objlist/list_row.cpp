#include "objlist/list_row.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QListWidget>
#include <QStringDecoder>
#include <QStringEncoder>
#include <limits>

namespace
{

// The length of a row of printable ASCII (trailing blanks take their room
// too), -1 for any other row (tabs, control characters, other scripts).
int size_key_of(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return -1;
    }
    return text.size() > std::numeric_limits<int>::max() ? -1 : int(text.size());
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
    const auto one_advance_each = [&](const QString &text) {
        return metrics.horizontalAdvance(text) == advance * qreal(text.size());
    };
    return one_advance_each(all) &&
           one_advance_each(QStringLiteral("AVAWAYFALTPATaTeToVaWaYoLYff11"));
}

} // namespace

List_row::List_row(const QByteArray &bytes, const QString &text)
    : bytes(bytes), size_key(size_key_of(text)), from_file(true)
{
}

List_row::List_row(const QString &text)
    : QListWidgetItem(text), size_key(size_key_of(text)), from_file(false)
{
}

QVariant List_row::data(int role) const
{
    if (from_file && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        QStringDecoder decode(QStringConverter::System, QStringConverter::Flag::Stateless);
        return QString(decode(bytes));
    }
    if (role == size_key_role)
        return size_key;
    return QListWidgetItem::data(role);
}

QByteArray List_row::line_bytes() const
{
    if (from_file)
        return bytes;
    QStringEncoder encode(QStringConverter::System, QStringConverter::Flag::Stateless);
    return encode(text());
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
