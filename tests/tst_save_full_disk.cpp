#include "coords/velto_object.h"
#include "list_window_probe.h"

#include <QtTest>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

// Saving a list onto a disk that fills up while the file is written: the old
// file stays as it was and the rows stay in the window.

namespace
{

const QByteArray old_contents = " 01 00 00 : +10 00 00 ; 2000.0 # Old\n# kept as it was\n";

// Writes until the file system refuses another byte.
void fill_up(const QString &path)
{
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

// A file size limit: writing past it fails with EFBIG (the signal that
// would end the process is ignored meanwhile).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_limit);
        old_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_limit;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_limit);
        std::signal(SIGXFSZ, old_handler);
    }

private:
    rlimit old_limit{};
    void (*old_handler)(int) = nullptr;
};

} // namespace

class TestSaveFullDisk : public QObject
{
    Q_OBJECT

private slots:
    void failedSaveKeepsFileAndRows_data();
    void failedSaveKeepsFileAndRows();
};

void TestSaveFullDisk::failedSaveKeepsFileAndRows_data()
{
    QTest::addColumn<bool>("tmpfs");
    QTest::newRow("a full 64 KiB file system") << true;
    QTest::newRow("a file size limit") << false;
}

void TestSaveFullDisk::failedSaveKeepsFileAndRows()
{
    QFETCH(bool, tmpfs);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString disk = dir.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    if (tmpfs) {
        // Only a root process may mount; a container may forbid it even then.
        if (geteuid() != 0 ||
            mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no tmpfs can be mounted here; the file size limit row covers the failure");
    }
    const auto unmount = qScopeGuard([&] {
        if (tmpfs)
            umount2(QFile::encodeName(disk).constData(), MNT_DETACH);
    });

    const QString path = disk + QStringLiteral("/objects.lst");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        QCOMPARE(old.write(old_contents), old_contents.size());
    }
    QList<Velto_object *> objects;
    const auto free_objects = qScopeGuard([&] { qDeleteAll(objects); });
    Velto_list window(nullptr, &objects);
    // About 400 KiB of rows: more than the disk holds.
    for (int row = 0; row < 8000; ++row)
        window.insert_object(row, QStringLiteral("Star %1 of a long list").arg(row),
                             QStringLiteral("12:34:56.70"), QStringLiteral("+45:23:32.3"),
                             QStringLiteral("2000.0"));
    const QStringList rows = ListWindowProbe(window).texts();

    bool saved = true;
    if (tmpfs) {
        fill_up(disk + QStringLiteral("/filler"));
        saved = window.save_file(path);
    } else {
        FileSizeLimit limit(64 * 1024);
        saved = window.save_file(path);
    }
    QVERIFY(!saved);
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), old_contents);
    QCOMPARE(ListWindowProbe(window).texts(), rows);
    QCOMPARE(objects.size(), rows.size());
    // No half-written temporary file is left beside it.
    QStringList left = QDir(disk).entryList(QDir::Files);
    left.removeAll(QStringLiteral("filler"));
    QCOMPARE(left, QStringList({QStringLiteral("objects.lst")}));
}

QTEST_MAIN(TestSaveFullDisk)
#include "tst_save_full_disk.moc"
