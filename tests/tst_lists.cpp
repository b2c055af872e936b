#include "dialog_answer.h"
#include "list_window_probe.h"
#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "objlist/lst_line.h"
#include "sky_probe.h"

#include <QMessageBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// Object lists: the .lst line reader and writer, reading and saving files
// (onto a full disk too), and the one selection of the list and the chart.

namespace
{

bool private_mounts = false; // set by main(): tmpfs mounts stay in this process

const QByteArray five_rows = "# top comment\n"
                             " 01 00 00 : +10 00 00 ; 2000.0 # A\n"
                             " 02 00 00 : +20 00 00 ; 2000.0 # B\n"
                             " 03 00 00 : +30 00 00 ; 2000.0 # C\n"
                             "# end comment\n";

void write_file(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray file_bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes until the file system refuses another byte.
void fill_up(const QString &path)
{
    QFile filler(path);
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(1024, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

// A row of the line table: an empty name makes a comment row.
void line_row(const char *tag, const QString &line, const QString &name, const QString &epoch)
{
    QTest::newRow(tag) << line << name << epoch;
}

// A row of the form table: the name, right ascension, declination and epoch
// typed, and the row the list shows.
void form_row(const char *tag, const QStringList &typed, const QString &row)
{
    QTest::newRow(tag) << typed << row;
}

} // namespace

class TestLists : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void parseLine_data();
    void parseLine();
    void formObjectRow_data();
    void formObjectRow();
    void readAppendsAndSaveWritesTheBytesBack();
    void selectionAfterEditing_data();
    void selectionAfterEditing();
    void clicks_data();
    void clicks();
    void saveOntoAFullDisk_data();
    void saveOntoAFullDisk();

private:
    ListWindowProbe list() { return ListWindowProbe(*probe.listWindow()); }
    int chartSelection() { return SkyProbe(probe.sky()).selected(); }
    void readRows(const QByteArray &bytes);
    void click(int row);
    void typeForm(const QStringList &texts); // name, right ascension, declination, epoch
    void checkInvariants();

    LocalTcs tcs; // answers the main window's users list
    Velto_Obj_List window;
    MainWindowProbe probe{window};
    QTemporaryDir dir;
};

void TestLists::init()
{
    probe.listWindow()->clear_list();
    probe.form().velto_obj_edt->clear();
}

void TestLists::readRows(const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("rows.lst"));
    write_file(path, bytes);
    QVERIFY(probe.listWindow()->read_file(path));
}

void TestLists::click(int row)
{
    QListWidget &widget = list().rows();
    QTest::mouseClick(widget.viewport(), Qt::LeftButton, {},
                      widget.visualItemRect(widget.item(row)).center());
}

void TestLists::typeForm(const QStringList &texts)
{
    probe.form().velto_obj_edt->setText(texts.at(0));
    probe.form().velto_ra_edt->setText(texts.at(1));
    probe.form().velto_decl_edt->setText(texts.at(2));
    probe.form().velto_epoch_edt->setText(texts.at(3));
}

// Row i and object i describe the same line: the object holds the
// coordinates its row is read as.
void TestLists::checkInvariants()
{
    const QStringList texts = list().texts();
    QCOMPARE(probe.objList().size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        const Velto_object &object = *probe.objList().at(i);
        const Lst_line line = parse_lst_line(texts.at(i));
        QCOMPARE(object.num, i);
        QCOMPARE(object.is_comment, !line.is_object);
        QCOMPARE((QStringList{object.ra_str, object.dec_str}), (QStringList{line.ra, line.dec}));
    }
}

void TestLists::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("epoch");

    const QString line = QStringLiteral(" 12 34 56 : +45  00 00 ");
    line_row("written object line", line + "; 1950.0 # M 31", "M 31", "1950.0");
    line_row("numbers without separator", "12 34 56 +45 00 00", "", "");
    line_row("comment line", "# 12 34 56 : +45 00 00", "", "");
    line_row("two numbers only", "12 34 : +45 00 00", "", "");
    line_row("two pieces take the defaults", line, "Unknown", "2000.0");
    line_row("'#' before the third piece", line + "# Star:B", "Star:B", "2000.0");
    line_row("fourth piece names", line + "; 1950.0 ;  Alpha   Lyr ", "Alpha Lyr", "1950.0");
    line_row("numeric date epoch", line + "; 15-03-2021 # D", "D", "2021.20");
    line_row("named month epoch", line + "; 31-Dec-2020 # D", "D", "2021.00");
    line_row("day 31 of a 30-day month", line + "; 31-04-2021 # D", "D", "31-04-2021");
    line_row("29 February, common year", line + "; 29-02-2021 # D", "D", "29-02-2021");
    line_row("unknown month", line + "; 01-mar-2021 # D", "D", "01-mar-2021");
}

void TestLists::parseLine()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, epoch);
    const Lst_line parsed = parse_lst_line(line);
    QCOMPARE(parsed.is_object, !name.isEmpty());
    if (parsed.is_object)
        QCOMPARE((QStringList{parsed.name, parsed.ra, parsed.dec, parsed.epoch}),
                 (QStringList{name, "12:34:56", "+45:00:00", epoch}));
}

void TestLists::formObjectRow_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("row");

    form_row("blank-separated coordinates get colons",
             {" M 31 ", " 00 42  44.3 ", "+41 16 09", "2000.0"},
             " 00 42 44.3  : +41 16 09   ; 2000.0 # M 31");
    form_row("single-digit degrees", {"S", "12:00:00", "-5:00:00", "1950.0"},
             " 12 00 00    : -5 00 00    ; 1950.0 # S");
    form_row("one-character right ascension", {"N", "5", "+10:00:00", "2000.0"}, "# N");
    form_row("letters are no right ascension", {"N", "ab", "+10:00:00", "2000.0"}, "# N");
    form_row("signs are no declination", {"N", "12:00:00", "+-", "2000.0"}, "# N");
}

// Add Object appends the form's object as a row that reads back as that object.
void TestLists::formObjectRow()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, row);
    readRows(five_rows);
    typeForm(typed);
    probe.form().actionAdd_Object->trigger();
    QCOMPARE(list().texts().value(5), row);
    checkInvariants();
}

// Lines that are not valid in the locale's encoding and a '\r' inside a line
// come back byte for byte; a second read appends.
void TestLists::readAppendsAndSaveWritesTheBytesBack()
{
    const QByteArray odd = "# caf\xe9 in Latin-1\n12 34 56 : +45 00 00 # a\rb\n\n"
                           "01 02 03 ; -04 05 06 ; 15-03-2021 # \xff\n";
    readRows(odd);
    readRows(odd + "last line without newline");
    QVERIFY(!probe.listWindow()->read_file(dir.filePath(QStringLiteral("missing.lst"))));
    QCOMPARE(list().texts().size(), 9);
    checkInvariants();
    const QString saved = dir.filePath(QStringLiteral("saved.lst"));
    QVERIFY(probe.listWindow()->save_file(saved));
    QCOMPARE(file_bytes(saved), odd + odd + "last line without newline\n");
    QCOMPARE(list().lastFile(), saved);
}

void TestLists::selectionAfterEditing_data()
{
    QTest::addColumn<int>("current"); // the list's current row after a pick of row 2
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current_after");
    QTest::addColumn<int>("chart_after"); // -1: nothing marked

    QTest::newRow("remove a comment row") << 0 << "Remove_Object" << 4 << 0 << 0;
    QTest::newRow("remove the last object") << 3 << "Remove_Object" << 4 << 3 << -1;
    QTest::newRow("remove the picked object") << 2 << "Remove_Object" << 4 << 2 << 2;
    QTest::newRow("insert object before a comment") << 0 << "Insert_Object" << 6 << 0 << 0;
    QTest::newRow("insert object at the end comment") << 4 << "Insert_Object" << 6 << 4 << 4;
    QTest::newRow("insert comment before the pick") << 2 << "Insert_Comment" << 6 << 2 << -1;
    QTest::newRow("insert comment with no current row") << -1 << "Insert_Comment" << 6 << 0 << -1;
    QTest::newRow("clear list") << 2 << "Clear_list" << 0 << -1 << -1;
}

void TestLists::selectionAfterEditing()
{
    QFETCH(int, current);
    QFETCH(QString, action);
    QFETCH(int, rows);
    QFETCH(int, current_after);
    QFETCH(int, chart_after);
    readRows(five_rows);
    typeForm({"D", "04 00 00", "+40 00 00", "2000.0"});
    click(2);
    QCOMPARE(chartSelection(), 2);
    QListWidget &widget = list().rows();
    widget.setCurrentRow(current);
    window.findChild<QAction *>(QLatin1String("action") + action)->trigger();
    QCOMPARE(widget.count(), rows);
    QCOMPARE(widget.currentRow(), current_after);
    QCOMPARE(chartSelection(), chart_after);
    checkInvariants();
}

void TestLists::clicks_data()
{
    QTest::addColumn<QList<int>>("clicked");
    QTest::addColumn<int>("chart");
    QTest::addColumn<QString>("form_name");

    QTest::newRow("first click marks the chart only") << QList<int>{1} << 1 << "";
    QTest::newRow("second click fills the form") << QList<int>{1, 1} << 1 << "A";
    QTest::newRow("click on another object") << QList<int>{1, 3} << 3 << "";
    QTest::newRow("comment click leaves the chart") << QList<int>{2, 0} << 2 << "";
    QTest::newRow("back to the object after a comment") << QList<int>{1, 0, 1} << 1 << "";
}

void TestLists::clicks()
{
    QFETCH(QList<int>, clicked);
    QFETCH(int, chart);
    QFETCH(QString, form_name);
    readRows(five_rows);
    // A click on the top comment first: the row last clicked survives a
    // cleared list, and a click on it fills the form at once.
    clicked.prepend(0);
    for (int row : std::as_const(clicked))
        click(row);
    QCOMPARE(chartSelection(), chart);
    QCOMPARE(probe.form().velto_obj_edt->text(), form_name);
}

void TestLists::saveOntoAFullDisk_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("list under 16 KiB") << 100;
    QTest::newRow("list over 100 KiB") << 2600;
}

// The observer saves over an existing list on a full file system: the old
// file stays as it was, the failure is said, and the next Save dialog offers
// the file last read, not the one that failed.
void TestLists::saveOntoAFullDisk()
{
    QFETCH(int, rows);
    if (!private_mounts)
        QSKIP("no private mount namespace (needs root with CAP_SYS_ADMIN): no tmpfs to fill");
    const QString disk = dir.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    QCOMPARE(mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k"), 0);
    const auto unmount = qScopeGuard([&] { umount2(QFile::encodeName(disk).constData(), 0); });
    const QString precious = disk + QStringLiteral("/precious.lst");
    write_file(precious, five_rows);
    fill_up(disk + QStringLiteral("/filler"));

    QByteArray lines;
    for (int i = 0; i < rows; ++i)
        lines += " 12 34 56.70 : +45 23 32.3 ; 2000.0 # Star " + QByteArray::number(i) + '\n';
    readRows(lines);
    const QString read_from = dir.filePath(QStringLiteral("rows.lst"));

    LogCapture log;
    {
        DialogAnswer<QFileDialog> save([&](QFileDialog *dialog) {
            dialog->setDirectory(disk);
            type_file_name(dialog, QStringLiteral("precious.lst"));
            accept(dialog);
        });
        DialogAnswer<QMessageBox> replace(
            [](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
        probe.form().actionSave_list->trigger();
        QCOMPARE(save.answers, 1);
        QCOMPARE(replace.answers, 1);
    }
    QCOMPARE(file_bytes(precious), five_rows);
    QCOMPARE(QDir(disk).entryList(QDir::Files),
             (QStringList{QStringLiteral("filler"), QStringLiteral("precious.lst")}));
    // The chart's own lines may come in between.
    const QString prefix = QLatin1String("Velto list save error ") + precious + QLatin1String(": ");
    const QStringList said = log.err.filter(QLatin1String("Velto list save error"));
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().startsWith(prefix) && said.first().size() > prefix.size(),
             qPrintable(said.first()));
    QCOMPARE(window.statusBar()->currentMessage(), QLatin1String("List not saved: ") + precious);
    QCOMPARE(list().texts().size(), rows);

    QStringList offered;
    DialogAnswer<QFileDialog> cancel([&](QFileDialog *dialog) {
        offered = dialog->selectedFiles();
        dialog->reject();
    });
    probe.form().actionSave_list->trigger();
    QCOMPARE(offered, QStringList{read_from});
}

int main(int argc, char **argv)
{
    // The tiny file systems the test mounts are seen by this process alone.
    private_mounts = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
                     mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    QApplication app(argc, argv);
    TestLists test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lists.moc"
