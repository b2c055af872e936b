#include "dialog_answer.h"
#include "list_window_probe.h"
#include "log_capture.h"

#include <QMessageBox>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

struct ListFixture {
    ListFixture() : window(nullptr, &objects), probe(window) {}
    ~ListFixture() { qDeleteAll(objects); }

    QList<Velto_object *> objects;
    Velto_list window;
    ListWindowProbe probe;
};

QByteArray read_bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool write_bytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// What saving a read file gives: every line ends with "\n", a "\r" before a
// line end goes, nothing else changes.
QByteArray expected_save(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (bytes.endsWith('\n') || bytes.isEmpty())
        lines.removeLast();
    QByteArray result;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        result += line + '\n';
    }
    return result;
}

// Runs `work` in a child process without root's right to write anywhere,
// and returns its exit code (0 for true, 1 for false).
int run_unprivileged(const std::function<bool()> &work)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class TestListFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowsShowTheLinesExactly();
    void objectsOfTheRows();
    void nonFiniteNumbersCountZero();
    void roundTrip_data();
    void roundTrip();
    void typedRowsUseTheLocaleEncoding();
    void typedLineBreaksStayInOneRow();
    void readingAppends();
    void emptyFile();
    void unreadableFileChangesNothing_data();
    void unreadableFileChangesNothing();
    void failedSaveKeepsTheOldFile();
    void unwritableDirectoryKeepsTheOldFile();
    void readDialog();
    void readDialogCancelled();
    void saveDialog();
    void saveDialogOffersTheLastFile();
    void savingAnEmptyListOpensNoDialog();
    void sampleList();

private:
    std::unique_ptr<QTemporaryDir> dir; // a fresh one for every test
    QString path(const QString &name) const { return dir->filePath(name); }
};

void TestListFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    // File dialogs open in the current folder.
    QVERIFY(QDir::setCurrent(dir->path()));
}

void TestListFile::cleanup()
{
    QDir::setCurrent(QCoreApplication::applicationDirPath());
}

void TestListFile::rowsShowTheLinesExactly()
{
    ListFixture f;
    const QByteArray bytes = "# Bright stars\r\n"
                             " 12 34 56.70 : +45 23 32.3 ; 2000.0 # M 31\r\n"
                             "\n"
                             "   \n"
                             "12 34 56 +45 00 00\n"
                             "Vega\tcomment";
    QVERIFY(write_bytes(path("rows.lst"), bytes));
    QVERIFY(f.window.read_file(path("rows.lst")));
    QCOMPARE(f.probe.texts(),
             (QStringList{"# Bright stars", " 12 34 56.70 : +45 23 32.3 ; 2000.0 # M 31", "", "   ",
                          "12 34 56 +45 00 00", "Vega\tcomment"}));
    QList<bool> comments;
    for (const Velto_object *object : std::as_const(f.objects))
        comments << object->is_comment;
    QCOMPARE(comments, (QList<bool>{true, false, true, true, true, true}));
    QCOMPARE(f.probe.lastFile(), path("rows.lst"));
    QCOMPARE(f.probe.lastRow(), -1);
}

void TestListFile::objectsOfTheRows()
{
    ListFixture f;
    QVERIFY(write_bytes(path("objects.lst"), "# header\n"
                                             "12 34 56 ; -00 30 00 # Star B\n"
                                             " 12 34 56.70 : +45 23 32.3 ; 15-Mar-2021 # M 31\n"));
    QVERIFY(f.window.read_file(path("objects.lst")));
    QCOMPARE(f.objects.size(), 3);
    const Velto_object *star = f.objects.at(1);
    QCOMPARE(star->num, 1);
    QCOMPARE(star->name, QStringLiteral("Star B"));
    QCOMPARE(star->dec_sec, -1800.0);
    QCOMPARE(star->epoch_str, QStringLiteral("2000.0"));
    const Velto_object *m31 = f.objects.at(2);
    QCOMPARE(m31->num, 2);
    QCOMPARE(m31->ra_str, QStringLiteral("12:34:56.70"));
    QCOMPARE(m31->ra_sec, 45296.7);
    QCOMPARE(m31->epoch_str, QStringLiteral("2021.20"));
    // The row shows the date as written; only the object has the year.
    QCOMPARE(f.probe.rows().item(2)->text(),
             QStringLiteral(" 12 34 56.70 : +45 23 32.3 ; 15-Mar-2021 # M 31"));
}

void TestListFile::nonFiniteNumbersCountZero()
{
    ListFixture f;
    QVERIFY(write_bytes(path("huge.lst"), "12 34 5e999 : 1 2 3e999 # Huge\n"));
    QVERIFY(f.window.read_file(path("huge.lst")));
    const Velto_object *object = f.objects.first();
    QVERIFY(!object->is_comment);
    QCOMPARE(object->ra_sec, 45240.0);
    QCOMPARE(object->dec_sec, 3720.0);
    QVERIFY(std::isfinite(object->azimuth) && std::isfinite(object->zenith_dist));
}

void TestListFile::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("all three kinds of line")
        << QByteArray("# comment\n12 34 56 : +45 00 00 # A\n\nfree text\n");
    QTest::newRow("CRLF line ends") << QByteArray("# a\r\n12 34 56 : +45 00 00\r\n\r\n");
    QTest::newRow("missing final newline") << QByteArray("# a\n12 34 56 : +45 00 00 # A");
    QTest::newRow("carriage return inside a line") << QByteArray("a\rb\n\r\rc\r\n");
    QTest::newRow("bytes invalid in UTF-8")
        << QByteArray("# \xff\xfe caf\xe9\n12 34 56 : +45 00 00 # \xc3\x28\n");
    QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf# first\n");
    QTest::newRow("NUL bytes") << QByteArray("a\0b\n\0\n", 6);
    QTest::newRow("only newlines") << QByteArray("\n\n\n");
    QTest::newRow("very long lines")
        << QByteArray("12 34 56 : +45 00 00 # " + QByteArray(300000, 'x') + "\n" +
                      QByteArray(200000, ';') + "\n# end");
    QByteArray binary(65536, '\0');
    QRandomGenerator random(42);
    for (char &byte : binary)
        byte = char(random.bounded(256));
    QTest::newRow("binary file") << binary;
}

// Reading into an empty list and saving again gives the file back byte for
// byte, apart from "\r\n" line ends, which become "\n", and a newline added
// after a last line without one.
void TestListFile::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(write_bytes(path("in.lst"), bytes));
    ListFixture f;
    QVERIFY(f.window.read_file(path("in.lst")));
    const QByteArray expected = expected_save(bytes);
    QCOMPARE(f.probe.rows().count(), expected.count('\n'));
    QCOMPARE(f.objects.size(), f.probe.rows().count());
    QVERIFY(f.window.save_file(path("out.lst")));
    QCOMPARE(read_bytes(path("out.lst")), expected);
    QCOMPARE(f.probe.lastFile(), path("out.lst"));
}

void TestListFile::typedRowsUseTheLocaleEncoding()
{
    ListFixture f;
    QVERIFY(write_bytes(path("old.lst"), "# caf\xe9\n"));
    QVERIFY(f.window.read_file(path("old.lst")));
    f.window.insert_comment(1, QStringLiteral("Ångström 100%"));
    QVERIFY(f.window.save_file(path("new.lst")));
    QCOMPARE(read_bytes(path("new.lst")), QByteArray("# caf\xe9\n# \xc3\x85ngstr\xc3\xb6m 100%\n"));
}

// A name pasted with a line break is still one row after saving and reading.
void TestListFile::typedLineBreaksStayInOneRow()
{
    ListFixture typed;
    typed.window.insert_comment(0, QStringLiteral("first\nsecond"));
    typed.window.insert_object(1, QStringLiteral("M\r\n31"), QStringLiteral("12:00:00"),
                               QStringLiteral("+10:00:00"), QStringLiteral("2000.0"));
    QCOMPARE(typed.objects.at(1)->name, QStringLiteral("M  31"));
    QVERIFY(typed.window.save_file(path("typed.lst")));
    ListFixture read;
    QVERIFY(read.window.read_file(path("typed.lst")));
    QCOMPARE(read.probe.texts(), typed.probe.texts());
    QCOMPARE(read.probe.texts().first(), QStringLiteral("# first second"));
    QCOMPARE(read.objects.at(1)->name, QStringLiteral("M 31"));
}

void TestListFile::readingAppends()
{
    ListFixture f;
    QVERIFY(write_bytes(path("two.lst"), "# a\n12 34 56 : +45 00 00 # B\n"));
    QVERIFY(f.window.read_file(path("two.lst")));
    QVERIFY(f.window.read_file(path("two.lst")));
    QCOMPARE(f.probe.texts(),
             (QStringList{"# a", "12 34 56 : +45 00 00 # B", "# a", "12 34 56 : +45 00 00 # B"}));
    for (int i = 0; i < f.objects.size(); ++i)
        QCOMPARE(f.objects.at(i)->num, i);
    QCOMPARE(f.objects.at(3)->name, QStringLiteral("B"));
}

void TestListFile::emptyFile()
{
    ListFixture f;
    f.window.insert_comment(0, QStringLiteral("kept"));
    QVERIFY(write_bytes(path("empty.lst"), QByteArray()));
    QVERIFY(f.window.read_file(path("empty.lst")));
    QCOMPARE(f.probe.texts(), QStringList{"# kept"});
    QCOMPARE(f.probe.lastFile(), path("empty.lst"));
}

void TestListFile::unreadableFileChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << "missing.lst";
    QTest::newRow("directory") << ".";
}

void TestListFile::unreadableFileChangesNothing()
{
    QFETCH(QString, name);
    ListFixture f;
    f.window.insert_comment(0, QStringLiteral("kept"));
    LogCapture log;
    QVERIFY(!f.window.read_file(path(name)));
    QCOMPARE(f.probe.texts(), QStringList{"# kept"});
    QCOMPARE(f.objects.size(), 1);
    QVERIFY(f.probe.lastFile().isNull());
    QVERIFY(log.out.isEmpty() && log.err.isEmpty());
}

// A write that fails half-way (here the file-size limit, as a full disk
// would) leaves the old list as it was.
void TestListFile::failedSaveKeepsTheOldFile()
{
    ListFixture f;
    for (int i = 0; i < 2000; ++i)
        f.window.insert_comment(i,
                                QStringLiteral("a comment long enough to fill the disk %1").arg(i));
    const QByteArray old = "# the observer's list\n12 34 56 : +45 00 00 # A\n";
    QVERIFY(write_bytes(path("old.lst"), old));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = f.window.save_file(path("old.lst"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    QVERIFY(!saved_ok);
    QCOMPARE(read_bytes(path("old.lst")), old);
    QVERIFY(f.probe.lastFile().isNull());
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"old.lst"});
}

void TestListFile::unwritableDirectoryKeepsTheOldFile()
{
    ListFixture f;
    f.window.insert_comment(0, QStringLiteral("new"));
    const QString locked = path("locked");
    QVERIFY(QDir().mkpath(locked));
    const QString target = locked + QStringLiteral("/old.lst");
    QVERIFY(write_bytes(target, "# old\n"));
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto traversable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir->path(), readable | traversable | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(locked, readable | traversable));
    const int result = run_unprivileged([&] { return f.window.save_file(target); });
    QVERIFY(QFile::setPermissions(locked, readable | traversable | QFile::WriteOwner));
    QCOMPARE(result, 1);
    QCOMPARE(read_bytes(target), QByteArray("# old\n"));
    QCOMPARE(QDir(locked).entryList(QDir::Files), QStringList{"old.lst"});
}

void TestListFile::readDialog()
{
    ListFixture f;
    QVERIFY(write_bytes(path("chosen.lst"), "# chosen\n"));
    QString title;
    QStringList filters;
    QString directory;
    DialogAnswer<QFileDialog> answer([&](QFileDialog *dialog) {
        if (title.isEmpty()) {
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            directory = dialog->directory().absolutePath();
        }
        type_file_name(dialog, path("chosen.lst"));
        accept(dialog);
    });
    f.window.read_list();
    QVERIFY(answer.answers > 0);
    QCOMPARE(title, QStringLiteral("Choose objects list file"));
    QCOMPARE(filters, (QStringList{".lst(*.lst)", "All files(*.*)"}));
    QCOMPARE(directory, QDir::currentPath());
    QCOMPARE(f.probe.texts(), QStringList{"# chosen"});
    QCOMPARE(f.probe.lastFile(), path("chosen.lst"));
}

void TestListFile::readDialogCancelled()
{
    ListFixture f;
    DialogAnswer<QFileDialog> answer([](QFileDialog *dialog) { dialog->reject(); });
    f.window.read_list();
    QVERIFY(answer.answers > 0);
    QCOMPARE(f.probe.rows().count(), 0);
    QVERIFY(f.probe.lastFile().isNull());
}

void TestListFile::saveDialog()
{
    ListFixture f;
    f.window.insert_comment(0, QStringLiteral("typed"));
    bool own_dialog = false;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode file_mode = QFileDialog::ExistingFile;
    QStringList filters;
    QString suffix;
    DialogAnswer<QFileDialog> answer([&](QFileDialog *dialog) {
        own_dialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
        mode = dialog->acceptMode();
        file_mode = dialog->fileMode();
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        type_file_name(dialog, path("second"));
        accept(dialog);
    });
    f.window.save_list();
    QVERIFY(answer.answers > 0);
    QVERIFY(own_dialog);
    QCOMPARE(mode, QFileDialog::AcceptSave);
    QCOMPARE(file_mode, QFileDialog::AnyFile);
    QCOMPARE(filters, (QStringList{".lst(*.lst)", "All files(*.*)"}));
    QCOMPARE(suffix, QStringLiteral("lst"));
    QCOMPARE(read_bytes(path("second.lst")), QByteArray("# typed\n"));
    QCOMPARE(f.probe.lastFile(), path("second.lst"));
}

// The last file read is offered; saving over it asks first.
void TestListFile::saveDialogOffersTheLastFile()
{
    ListFixture f;
    QVERIFY(write_bytes(path("first.lst"), "# first\n"));
    QVERIFY(f.window.read_file(path("first.lst")));
    f.window.insert_comment(1, QStringLiteral("added"));
    QStringList offered;
    DialogAnswer<QFileDialog> answer([&](QFileDialog *dialog) {
        offered = dialog->selectedFiles();
        accept(dialog);
    });
    DialogAnswer<QMessageBox> replace(
        [](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    f.window.save_list();
    QVERIFY(answer.answers > 0);
    QCOMPARE(offered, QStringList{path("first.lst")});
    QCOMPARE(replace.answers, 1);
    QCOMPARE(read_bytes(path("first.lst")), QByteArray("# first\n# added\n"));
}

void TestListFile::savingAnEmptyListOpensNoDialog()
{
    ListFixture f;
    DialogAnswer<QFileDialog> answer([](QFileDialog *dialog) { dialog->reject(); });
    f.window.save_list();
    QCOMPARE(answer.answers, 0);
    QVERIFY(f.probe.lastFile().isNull());
}

// The sample list installed beside the program.
void TestListFile::sampleList()
{
    ListFixture f;
    const QString sample =
        QCoreApplication::applicationDirPath() + QStringLiteral("/Velto_Obj_List_sample.lst");
    QVERIFY(f.window.read_file(sample));
    QStringList names;
    for (const Velto_object *object : std::as_const(f.objects)) {
        if (!object->is_comment)
            names << object->name;
    }
    QCOMPARE(names.size(), 13);
    QCOMPARE(names.first(), QStringLiteral("Polaris"));
    QCOMPARE(names.last(), QStringLiteral("12P/Pons-Brooks"));
    QCOMPARE(f.objects.last()->is_comment, true);
    const Velto_object *comet = f.objects.at(f.objects.size() - 3);
    QCOMPARE(comet->epoch_str, QStringLiteral("2024.31"));
    QVERIFY(f.window.save_file(path("sample.lst")));
    QCOMPARE(read_bytes(path("sample.lst")), read_bytes(sample));
}

QTEST_MAIN(TestListFile)
#include "tst_list_file.moc"
