#pragma once

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QListWidgetItem>
#include <QString>
#include <QStyledItemDelegate>

class QListWidget;

// One row of the object list widget. A row read from a file keeps only the
// bytes it was read with: a save writes them back unchanged, and the text
// shown is decoded from them whenever the view asks for it. A row typed in
// the main window keeps its text, encoded afresh when saved.
class List_row : public QListWidgetItem
{
public:
    // The row's size class (see List_row_sizes); -1 when its size must be measured.
    static constexpr int size_key_role = Qt::UserRole + 1;

    List_row(const QByteArray &bytes, const QString &text);
    explicit List_row(const QString &text);

    QVariant data(int role) const override;
    // The line a save writes, without its "\n".
    QByteArray line_bytes() const;

    List_row(const List_row &) = delete;
    List_row &operator=(const List_row &) = delete;

private:
    QByteArray bytes; // read from a file: its bytes; typed: empty, the text is the item's
    int size_key;
    bool from_file;
};

// The item delegate of the object list: each row as large as the style makes
// it, as the plain delegate does. In a font where every printable ASCII
// character has the same advance, every row of printable ASCII with the same
// length has the same size (trailing blanks included), so that
// size is measured once and reused; other rows, and every row in other fonts,
// are measured one by one. A new font or style measures again.
class List_row_sizes : public QStyledItemDelegate
{
public:
    explicit List_row_sizes(QListWidget *view);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    mutable QHash<int, QSize> sizes; // by size key
    mutable QFont measured_font;     // the font the sizes were measured with
    mutable bool one_width = false;  // ascii_in_one_width(measured_font)
};
