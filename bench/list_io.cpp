// Reads a generated 100,000-line .lst file into the list window, shows it and
// saves it again, and reports the seconds of each step, the process's
// resident memory before the read and its peak, and the list's horizontal
// scroll range. Goals on the development machine: read < 0.5 s, save
// < 0.2 s, every row laid out within 0.3 s and 1.2 times the read, the peak
// at most 40 MB above the memory before the read.
//
//     list_io [lines]
//     list_io --floor [lines]   what the objects and empty list items alone take

#include "coords/sky_transform.h"
#include "coords/velto_object.h"
#include "objlist/lst_line.h"
#include "objlist/velto_list.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <malloc.h>

namespace
{

const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A list as observers keep them: mostly objects, some with a date epoch or
// extra pieces, comments and empty lines between them.
QByteArray generated_list(int lines)
{
    QRandomGenerator random(1000);
    QByteArray text;
    text.reserve(lines * 64);
    for (int i = 0; i < lines; ++i) {
        const int kind = random.bounded(100);
        const int h = random.bounded(24), m = random.bounded(60), d = random.bounded(-89, 90);
        const double s = random.bounded(60.0);
        QByteArray line;
        if (kind < 60) {
            line = QByteArray(" ") + QByteArray::number(h).rightJustified(2, '0') + ' ' +
                   QByteArray::number(m).rightJustified(2, '0') + ' ' +
                   QByteArray::number(s, 'f', 2) + " : " + (d < 0 ? '-' : '+') +
                   QByteArray::number(qAbs(d)).rightJustified(2, '0') + " 12 30.5 ; 2000.0 # Obj " +
                   QByteArray::number(i);
        } else if (kind < 75) {
            line = QByteArray::number(h) + ' ' + QByteArray::number(m) + ' ' +
                   QByteArray::number(s, 'f', 1) + " ; " + QByteArray::number(d) + " 00 00 ; " +
                   QByteArray::number(1 + random.bounded(28)) + '-' + months[random.bounded(12)] +
                   "-20" + QByteArray::number(10 + random.bounded(20)) + " # Comet C/" +
                   QByteArray::number(i);
        } else if (kind < 85) {
            line = QByteArray::number(h) + ' ' + QByteArray::number(m) +
                   " 0 : " + QByteArray::number(d) + " 0 0 ; 1950.0 ; extra ; Star " +
                   QByteArray::number(i);
        } else if (kind < 95) {
            line = "# night of 2026-12-06, field " + QByteArray::number(i);
        }
        text += line + '\n';
    }
    return text;
}

// A line of /proc/self/status in KiB: "VmHWM:" (peak) or "VmRSS:" (now).
long memory_kib(const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// CPU seconds of this thread: on a machine shared with other work the wall
// clock also counts the time the process waited for a core.
double cpu_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Seconds until the list's first paint and until every row is laid out (the
// vertical scroll range covers them all); the event loop runs meanwhile.
struct LayoutTimes {
    double first_paint = -1;
    double all_rows = -1;
};

class FirstPaint : public QObject
{
public:
    explicit FirstPaint(const QElapsedTimer &clock) : clock(clock) {}
    double seconds_at = -1;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && seconds_at < 0)
            seconds_at = seconds(clock);
        return false;
    }

private:
    const QElapsedTimer &clock;
};

LayoutTimes lay_out(QListWidget *rows, const QElapsedTimer &clock)
{
    FirstPaint paint(clock);
    rows->viewport()->installEventFilter(&paint);
    LayoutTimes times;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (rows->verticalScrollBar()->maximum() >= rows->count() - 100) {
            times.all_rows = seconds(clock);
            loop.quit();
        }
    });
    poll.start(1);
    loop.exec();
    rows->viewport()->removeEventFilter(&paint);
    times.first_paint = paint.seconds_at;
    return times;
}

// Each line of the list made into its object, as the read makes it; the
// lines are cut out one at a time, so no list of them is held meanwhile.
QList<Velto_object *> objects_of_lines(const QByteArray &bytes, int &object_count)
{
    QList<Velto_object *> objects;
    for (qsizetype start = 0; start <= bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const Lst_line parsed =
            parse_lst_line(QString::fromLocal8Bit(bytes.mid(start, end - start)));
        start = end + 1;
        auto *object = new Velto_object;
        if (parsed.is_object)
            object->set_object(parsed.name, parsed.ra, parsed.dec, parsed.epoch);
        objects << object;
        object_count += parsed.is_object;
    }
    return objects;
}

// The list's lines made into objects without any widget: the share of the
// read that is not the list widget's.
double objects_only(const QByteArray &bytes, int &object_count)
{
    const double start = cpu_seconds();
    const QList<Velto_object *> objects = objects_of_lines(bytes, object_count);
    const double elapsed = cpu_seconds() - start;
    qDeleteAll(objects);
    return elapsed;
}

// The memory that every list of this size takes before any row keeps its
// bytes or the view lays it out: each line's object with its texts, as the
// read makes it, and one list item without data per line.
void print_floor(const QByteArray &bytes)
{
    malloc_trim(0);
    const long before_kib = memory_kib("VmRSS:");
    int object_count = 0;
    const QList<Velto_object *> objects = objects_of_lines(bytes, object_count);
    QListWidget rows;
    for (qsizetype i = 0; i < objects.size(); ++i)
        rows.addItem(new QListWidgetItem);
    malloc_trim(0); // what the loop's temporaries freed is not the list's
    const long after_kib = memory_kib("VmRSS:");
    std::printf("floor              %lld objects (%d with coordinates) and empty items: +%.1f MB\n",
                static_cast<long long>(objects.size()), object_count,
                double(after_kib - before_kib) / 1024);
    qDeleteAll(objects);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool floor = argc > 1 && QByteArray(argv[1]) == "--floor";
    const int lines = argc > 1 + floor ? QByteArray(argv[1 + floor]).toInt() : 100000;
    if (floor) {
        print_floor(generated_list(lines));
        return 0;
    }

    QTemporaryDir dir;
    const QString in_path = dir.filePath(QStringLiteral("in.lst"));
    const QString out_path = dir.filePath(QStringLiteral("out.lst"));
    const QByteArray bytes = generated_list(lines);
    QFile in_file(in_path);
    if (!in_file.open(QIODevice::WriteOnly) || in_file.write(bytes) != bytes.size())
        return 1;
    in_file.close();

    // Objects get their horizontal position, as in the running program.
    calc_sidereal_time();

    QList<Velto_object *> objects;
    Velto_list window(nullptr, &objects);
    auto *rows = window.findChild<QListWidget *>(QStringLiteral("velto_obj_lst"));
    window.show();
    QCoreApplication::processEvents();
    const long idle_kib = memory_kib("VmRSS:");

    QElapsedTimer timer;
    timer.start();
    double cpu_start = cpu_seconds();
    window.read_file(in_path);
    const double read_s = seconds(timer);
    const double read_cpu_s = cpu_seconds() - cpu_start;
    const LayoutTimes layout = lay_out(rows, timer);
    const long peak_kib = memory_kib("VmHWM:");
    const int horizontal_range = rows->horizontalScrollBar()->maximum();

    timer.restart();
    cpu_start = cpu_seconds();
    window.save_file(out_path);
    const double save_s = seconds(timer);
    const double save_cpu_s = cpu_seconds() - cpu_start;

    QFile out_file(out_path);
    const bool same = out_file.open(QIODevice::ReadOnly) && out_file.readAll() == bytes;
    int object_count = 0;
    const double objects_s = objects_only(bytes, object_count);

    std::printf("lines              %d (%lld bytes, %d objects)\n", lines,
                static_cast<long long>(bytes.size()), object_count);
    std::printf("read into list     %.3f s, %.3f s CPU   (goal < 0.5 s)\n", read_s, read_cpu_s);
    std::printf("  of which objects        %.3f s CPU   (decode, parse, set_object; no widget)\n",
                objects_s);
    std::printf("first paint        %.3f s   after the read began\n", layout.first_paint);
    std::printf("all rows laid out  %.3f s   after the read began (%.2f times the read)\n",
                layout.all_rows, layout.all_rows / read_s);
    std::printf("horizontal range   0..%d px\n", horizontal_range);
    std::printf("save               %.3f s, %.3f s CPU   (goal < 0.2 s)\n", save_s, save_cpu_s);
    std::printf("round trip         %s\n", same ? "identical" : "DIFFERENT");
    std::printf("memory             %ld KiB before the read, peak %ld KiB (VmHWM): +%.1f MB\n",
                idle_kib, peak_kib, double(peak_kib - idle_kib) / 1024);

    qDeleteAll(objects);
    return same ? 0 : 1;
}
