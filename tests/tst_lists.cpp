#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/lst_line.h"
#include "objlist/velto_list.h"
#include "sky_probe.h"
#include "test_files.h"

#include <QFileDialog>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

// Object lists: the .lst line reader and writer, reading and saving files
// (onto a full disk too), and the one selection of the list and the chart.

static const QByteArray five_rows = "# top comment\n"
                                    " 01 00 00 : +10 00 00 ; 2000.0 # A\n"
                                    " 02 00 00 : +20 00 00 ; 2000.0 # B\n"
                                    " 03 00 00 : +30 00 00 ; 2000.0 # C\n"
                                    "# end comment\n";

class TestLists : public QObject
{
    Q_OBJECT

private slots:
    void init() { probe.listWindow()->clear_list(); }
    void parseLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("read"); // name and epoch; none for a comment
        const auto row = [](const char *tag, const QString &line, const QStringList &read) {
            QTest::newRow(tag) << line << read;
        };
        const QString line = QStringLiteral("19 34 59 : +45  00 00 ");
        row("written object line", line + "; 1950.0 # M 31", {"M 31", "1950.0"});
        row("numbers without separator", "12 34 56 +45 00 00", {});
        row("comment line", "# 12 34 56 : +45 00 00", {});
        row("two numbers only", "12 34 : +45 00 00", {});
        row("two numbers at the end", "12 34 ", {});
        row("no-break spaces", QString(line).replace(' ', QChar(0xa0)), {"Unknown", "2000.0"});
        row("tabs", QString(line).replace(' ', '\t'), {"Unknown", "2000.0"});
        row("fifth piece names", line + "; 1950.0 ; A ; B", {"B", "1950.0"});
        row("'#' before the third piece", line + "# Star:B", {"Star:B", "2000.0"});
        row("fourth piece names", line + "; 1950.0 ;  Alpha   Lyr ", {"Alpha Lyr", "1950.0"});
        row("numeric date epoch", line + "; 15-10-2021 # D", {"D", "2021.79"});
        row("named month epoch", line + "; 31-Dec-2020 # D", {"D", "2021.00"});
        row("day 31 of a 30-day month", line + "; 31-04-2021 # D", {"D", "31-04-2021"});
        row("unknown month", line + "; 01-mar-2021 # D", {"D", "01-mar-2021"});
    }
    void parseLine()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, read);
        const Lst_line parsed = parse_lst_line(line);
        QCOMPARE(parsed.is_object, !read.isEmpty());
        if (parsed.is_object)
            QCOMPARE((QStringList{parsed.name, parsed.ra, parsed.dec, parsed.epoch}),
                     (QStringList{read[0], "19:34:59", "+45:00:00", read[1]}));
    }
    void formObjectRow_data()
    {
        QTest::addColumn<QStringList>("typed"); // name, right ascension, declination, epoch
        QTest::addColumn<QString>("row");       // as the list shows it
        const auto row = [](const char *tag, const QStringList &typed, const QString &row) {
            QTest::newRow(tag) << typed << row;
        };
        row("blanks become colons", {" M 31 ", " 00 42  44.3 ", "+41 16 09", "2000.0"},
            " 00 42 44.3  : +41 16 09   ; 2000.0 # M 31");
        row("one-character right ascension", {"N", "5", "+10:00:00", "2000.0"}, "# N");
        row("letters are no right ascension", {"N", "ab", "+10:00:00", "2000.0"}, "# N");
        row("signs are no declination", {"N", "12:00:00", "+-", "2000.0"}, "# N");
    }
    // Add Object appends the form's object as a row that reads back as that object.
    void formObjectRow()
    {
        QFETCH(QStringList, typed);
        readRows(five_rows);
        probe.typeObject(typed);
        probe.form().actionAdd_Object->trigger();
        QTEST(texts().value(5), "row");
        checkInvariants();
    }
    // Lines that are not valid in the locale's encoding and a '\r' inside a line
    // come back byte for byte; a second read appends.
    void readAppendsAndSaveWritesTheBytesBack()
    {
        const QByteArray odd = "\n# caf\xe9 in Latin-1\n12 34 56 : +45 00 00 # a\rb\n\n"
                               "01 02 03 ; -04 05 06 ; 15-03-2021 # \xff\n";
        readRows(odd);
        readRows(odd + "last line without newline");
        QVERIFY(!probe.listWindow()->read_file(dir.filePath(QStringLiteral("missing.lst"))));
        QCOMPARE(texts().size(), 11);
        checkInvariants();
        const QString saved = dir.filePath(QStringLiteral("saved.lst"));
        QVERIFY(probe.listWindow()->save_file(saved));
        QCOMPARE(file_bytes(saved), odd + odd + "last line without newline\n");
    }
    // Rows wider than the list, of ASCII and not, some with trailing blanks:
    // the horizontal scroll range is the one a plain list widget gives the
    // same rows in the same font, also after the widest row is removed.
    void horizontalRange_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("removed"); // row removed after the read, -1 none
        const QByteArray wide(150, 'x'), narrow(90, 'x'), short_row(60, 'x');
        const QByteArray blanks = short_row + QByteArray(120, ' ');
        const QByteArray cyrillic = "\t# " + QString(70, QChar(0x416)).toUtf8() + '\t' + narrow;
        QTest::newRow("widest row of ASCII") << QByteArrayList{narrow, wide, narrow} << -1;
        QTest::newRow("trailing blanks widest") << QByteArrayList{short_row, blanks, wide} << -1;
        QTest::newRow("tabs and Cyrillic") << QByteArrayList{narrow, cyrillic, narrow} << -1;
        QTest::newRow("widest row removed") << QByteArrayList{narrow, wide, narrow} << 1;
    }
    void horizontalRange()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, removed);
        readRows(lines.join('\n') + '\n');
        if (removed >= 0)
            probe.listWindow()->remove_row(removed);
        QListWidget plain;
        plain.setFont(rows().font());
        plain.resize(rows().size());
        plain.addItems(texts());
        plain.show();
        QTRY_VERIFY(plain.horizontalScrollBar()->maximum() > 0);
        QTRY_COMPARE(rows().horizontalScrollBar()->maximum(),
                     plain.horizontalScrollBar()->maximum());
    }
    // Rows of five_rows clicked after one on the top comment (the row last
    // clicked survives a cleared list, and a click on it fills the form at once),
    // then an edit of the list's current row.
    void selection_data()
    {
        QTest::addColumn<QList<int>>("clicked");
        QTest::addColumn<QString>("action");   // empty: none
        QTest::addColumn<int>("current");      // made the list's current row before the edit
        QTest::addColumn<QList<int>>("after"); // row count, current row, chart mark (-1: none)
        QTest::addColumn<QString>("form_name");
        const auto row = [](const char *tag, const QList<int> &clicked, const char *action,
                            int current, const QList<int> &after, const char *form_name = "D") {
            QTest::newRow(tag) << clicked << QString(action) << current << after
                               << QString(form_name);
        };
        row("first click marks the chart only", {1}, "", 0, {5, 1, 1});
        row("second click fills the form", {1, 1}, "", 0, {5, 1, 1}, "A");
        row("click on another object", {1, 3}, "", 0, {5, 3, 3});
        row("comment click leaves the chart", {2, 0}, "", 0, {5, 0, 2});
        row("back to the object after a comment", {1, 0, 1}, "", 0, {5, 1, 1});
        row("remove a comment row", {2}, "Remove_Object", 0, {4, 0, 0});
        row("remove the last object", {2}, "Remove_Object", 3, {4, 3, -1});
        row("remove the picked object", {2}, "Remove_Object", 2, {4, 2, 2});
        row("insert object before a comment", {2}, "Insert_Object", 0, {6, 0, 0});
        row("insert object at the end comment", {2}, "Insert_Object", 4, {6, 4, 4});
        row("insert comment before the pick", {2}, "Insert_Comment", 2, {6, 2, -1});
        row("insert comment with no current row", {2}, "Insert_Comment", -1, {6, 0, -1});
        row("clear list", {2}, "Clear_list", 2, {0, -1, -1});
    }
    // The list and the chart mark one selection; the second click on a row
    // puts its object into the main window's form.
    void selection()
    {
        QFETCH(QList<int>, clicked);
        QFETCH(QString, action);
        QFETCH(int, current);
        readRows(five_rows);
        probe.typeObject({"D", "04 00 00", "+40 00 00", "2000.0"});
        QListWidget &list = rows();
        for (int row : QList<int>{0} + clicked)
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                              list.visualItemRect(list.item(row)).center());
        if (!action.isEmpty()) {
            rows().setCurrentRow(current);
            window.findChild<QAction *>(QLatin1String("action") + action)->trigger();
        }
        QTEST((QList<int>{list.count(), list.currentRow(), SkyProbe(probe.sky()).selected()}),
              "after");
        QTEST(probe.form().velto_obj_edt->text(), "form_name");
        checkInvariants();
    }
    void saveOntoAFullDisk_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("list under 16 KiB") << 100;
        QTest::newRow("list over 100 KiB") << 2600;
    }
    // The observer saves over an existing list on a full file system: the old
    // file stays as it was, the failure is said, and the next Save dialog offers
    // the file last read, not the one that failed.
    void saveOntoAFullDisk()
    {
        QFETCH(int, rows);
        if (!private_mounts)
            QSKIP("no private mount namespace (needs root with CAP_SYS_ADMIN): no tmpfs to fill");
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        const auto unmount = mounted_tmpfs(disk, 0, "size=64k");
        const QString precious = disk + QStringLiteral("/precious.lst");
        write_file(precious, five_rows);
        fill_disk(disk);
        QByteArray lines;
        for (int i = 0; i < rows; ++i)
            lines += " 12 34 56.70 : +45 23 32.3 ; 2000.0 # Star " + QByteArray::number(i) + '\n';
        readRows(lines);
        LogCapture log;
        {
            DialogAnswer<QFileDialog> save([&](QFileDialog *dialog) {
                dialog->setDirectory(disk);
                // Typed as the observer does: selectFile leaves a focused field alone.
                dialog->findChild<QLineEdit *>("fileNameEdit")->setText("precious.lst");
                static_cast<QDialog *>(dialog)->accept();
            });
            DialogAnswer<QMessageBox> replace(
                [](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
            probe.form().actionSave_list->trigger();
            QCOMPARE((QList<int>{save.answers, replace.answers}), (QList<int>{1, 1}));
        }
        QCOMPARE(file_bytes(precious), five_rows);
        QCOMPARE(QDir(disk).entryList(QDir::Files), (QStringList{"filler", "precious.lst"}));
        // The chart's own lines may come in between; the reason follows the path.
        QCOMPARE(log.err.filter("Velto list save error")
                     .replaceInStrings(QRegularExpression(": \\S.*"), ": <reason>"),
                 QStringList{"Velto list save error " + precious + ": <reason>"});
        QCOMPARE(window.statusBar()->currentMessage(), "List not saved: " + precious);
        QCOMPARE(texts().size(), rows);
        QStringList offered;
        DialogAnswer<QFileDialog> cancel([&](QFileDialog *dialog) {
            offered = dialog->selectedFiles();
            dialog->reject();
        });
        probe.form().actionSave_list->trigger();
        QCOMPARE(offered, QStringList{dir.filePath(QStringLiteral("rows.lst"))});
    }

private:
    QListWidget &rows() { return *probe.listWindow()->findChild<QListWidget *>("velto_obj_lst"); }
    QStringList texts()
    {
        QStringList result;
        for (int row = 0; row < rows().count(); ++row)
            result << rows().item(row)->text();
        return result;
    }
    void readRows(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("rows.lst"));
        write_file(path, bytes);
        QVERIFY(probe.listWindow()->read_file(path));
    }
    // Row i and object i describe the same line: the object holds the
    // coordinates its row is read as.
    void checkInvariants()
    {
        const QStringList shown = texts();
        QCOMPARE(probe.objList().size(), shown.size());
        for (int i = 0; i < shown.size(); ++i) {
            const Velto_object &object = *probe.objList().at(i);
            const Lst_line line = parse_lst_line(shown.at(i));
            QCOMPARE((std::tuple{object.num, object.is_comment, object.ra_str, object.dec_str}),
                     (std::tuple{i, !line.is_object, line.ra, line.dec}));
        }
    }
    LocalTcs tcs; // answers the main window's users list
    Velto_Obj_List window;
    MainWindowProbe probe{window};
    QTemporaryDir dir;
};

VELTO_TEST_MAIN_WITH_MOUNTS(TestLists)

#include "tst_lists.moc"
