#include "sky/horizon_profile.h"

#include "coords/number_text.h"

#include <QIODevice>
#include <QString>

namespace
{

// A point line's azimuth is counted from the north through the east and its
// height above the horizon; the chart counts azimuth from the south toward
// the west and zenith distance down from the zenith.
HorizonPoint point_from_line(const QString &line)
{
    const QString simple = line.simplified();
    const qsizetype first = simple.indexOf(QLatin1Char(' '));
    const QStringView text(simple);
    const QStringView az_text = first < 0 ? text : text.left(first);
    QStringView alt_text;
    if (first >= 0) {
        const qsizetype second = simple.indexOf(QLatin1Char(' '), first + 1);
        alt_text = second < 0 ? text.mid(first + 1) : text.mid(first + 1, second - first - 1);
    }
    double azimuth = read_number(az_text) + 180.0;
    if (azimuth > 360.0)
        azimuth -= 360.0;
    HorizonPoint point;
    point.azimuth = azimuth;
    point.zenith_dist = 90.0 - read_number(alt_text);
    return point;
}

} // namespace

HorizonReading read_horizon(QIODevice &reply)
{
    HorizonReading reading;
    while (!reply.atEnd()) {
        const QString line = QString::fromUtf8(reply.readLine());
        if (line.startsWith(QLatin1Char('#'))) {
            // Only a heading before the first point chooses the set.
            if (!reading.points.isEmpty())
                continue;
            const QStringView words = QStringView(line).mid(1);
            if (words.contains(QLatin1String("direct")))
                reading.target = HorizonKind::Direct;
            else if (words.contains(QLatin1String("reverse")))
                reading.target = HorizonKind::Reverse;
            continue;
        }
        if (reading.points.size() < max_horizon_points)
            reading.points.append(point_from_line(line));
    }
    return reading;
}

QString horizon_loading_line(const HorizonReading &reading)
{
    return QLatin1String("Loading ") + QString::number(reading.points.size()) +
           (reading.target == HorizonKind::Direct ? QLatin1String(" 'direct' horizon points.")
                                                  : QLatin1String(" 'reverse' horizon points."));
}
