#pragma once

#include "coords/velto_object.h"

#include <QFrame>
#include <QList>
#include <QResizeEvent>
#include <QString>

class QListWidgetItem;
class Velto_sky;

namespace Ui
{
class Velto_list;
}

// The observer's object list: one row per line of text, comment rows
// included. Row i of the list widget and element i of the shared object list
// always describe the same line; this window alone creates and deletes the
// objects in that list. Picking an object row hands its texts to the receiver
// (the main window's form).
class Velto_list : public QFrame
{
    Q_OBJECT

public:
    Velto_list(QWidget *parent, QList<Velto_object *> *objects);
    ~Velto_list() override;

    void set_receiver(Velto_object *receiver);
    void set_sky(Velto_sky *sky);
    void retranslateUi();

    // A pick on the sky chart: makes the row current; the second pick of the
    // same object fills the receiver's form.
    void select_row(int row);
    // Makes an object row current and marks it on the chart, as a first
    // click on it does; a later click on it fills the receiver's form.
    void mark_row(int row);
    // 0 for an empty list, else the widget's current row (-1 for none).
    int current_row() const;

    // An object row built from these texts, or a comment row "# name" when
    // the coordinates do not look like numbers. Rows 0 .. count are valid.
    // Line breaks in the texts become blanks: a row is one line.
    void insert_object(int row, const QString &name, const QString &ra, const QString &dec,
                       const QString &epoch);
    void insert_comment(int row, const QString &text);
    void remove_row(int row);
    void clear_list();

    // The file dialogs around read_file and save_file; save_list is true
    // when the list was saved.
    void read_list();
    bool save_list();
    // Appends every line of the file as a row; false (nothing changed) when
    // the file cannot be opened.
    bool read_file(const QString &path);
    // Writes every row and "\n"; the old file is replaced only once the whole
    // list is written. On any failure the old file stays untouched, the
    // reason goes to standard error, save_failed is emitted and false returned.
    bool save_file(const QString &path);
    // Writes the rows as save_file does, without taking the file as the
    // list's own: a copy where rows no file holds are kept. On failure the
    // reason is in `reason`.
    bool write_copy(const QString &path, QString &reason) const;
    // Rows were inserted or removed by hand since the list was last saved or
    // cleared (reading a file adds rows that file holds, and saves nothing
    // typed), and the list has rows to save.
    bool has_unsaved_rows() const;

signals:
    // A save did not complete; the file at path is as it was before.
    void save_failed(const QString &path);
    // Rows first..last were added to or taken from the object list.
    void rows_inserted(int first, int last);
    void rows_removed(int first, int last);
    // The current row is now this one (-1: none).
    void row_marked(int row);

public slots:
    void resizeEvent(QResizeEvent *event) override;
    void on_velto_clr_lst_btn_clicked();
    void on_velto_get_lst_btn_clicked();
    void velto_list_choice(int row);
    void velto_list_click(QListWidgetItem *item);
    void velto_list_doubleclick(QListWidgetItem *item);

private:
    void append_line(const QByteArray &bytes, const QString &text);
    bool is_object_row(int row) const;
    void choose(int row);
    void show_on_sky(int row);
    void renumber_from(int row);
    void show_current_on_sky();

    Ui::Velto_list *form;
    Velto_sky *sky = nullptr;
    Velto_object *receiver = nullptr;
    QList<Velto_object *> *objects;
    QString last_file; // last file read or saved; null until then
    QSize size_seen;   // the window's size as last seen by resizeEvent
    bool first_resize = true;
    int last_row = -1;       // row last clicked, inserted or picked on the chart
    bool hand_edits = false; // rows inserted or removed since the last save or clear
};
