#pragma once

#include <QApplication>
#include <QtTest>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// Whole files read and written, and a tiny tmpfs filled to its last byte.

inline QByteArray file_bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void write_file(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// A tmpfs mounted on `dir` until the returned guard goes (none without options).
inline auto mounted_tmpfs(const QString &dir, unsigned long flags, const char *options)
{
    const QByteArray path = options ? QFile::encodeName(dir) : QByteArray();
    [&] { QVERIFY(!options || mount("tmpfs", path.constData(), "tmpfs", flags, options) == 0); }();
    return qScopeGuard([path] {
        if (!path.isEmpty())
            umount2(path.constData(), 0);
    });
}

// A file written in `dir` (made if missing) until its file system refuses a byte.
inline void fill_disk(const QString &dir)
{
    QFile filler(dir + "/filler");
    QVERIFY(QDir().mkpath(dir) && filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(1024, 'x')) == 1024 && filler.flush()) {
    }
}

// Whether the tmpfs mounts of this process are seen by it alone (as root);
// set by VELTO_TEST_MAIN_WITH_MOUNTS.
inline bool private_mounts = false;

#define VELTO_TEST_MAIN_WITH_MOUNTS(TestClass)                                                     \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        private_mounts = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&                            \
                         mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;          \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
