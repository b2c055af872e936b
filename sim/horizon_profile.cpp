#include "sim/horizon_profile.h"

#include "coords/number_text.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace
{

// A bump of the skyline: height in degrees, centre and half-width in azimuth.
double ridge(double azimuth, double centre, double half_width, double height)
{
    double d = std::fabs(azimuth - centre);
    d = std::min(d, 360.0 - d);
    const double x = d / half_width;
    return height * std::exp(-x * x);
}

// The site sits below a ridge to the south-east and a peak to the north-west,
// with the valley opening to the west.
double direct_altitude(double azimuth)
{
    return 2.0 + ridge(azimuth, 130.0, 35.0, 14.0) + ridge(azimuth, 315.0, 18.0, 9.0) +
           ridge(azimuth, 40.0, 25.0, 4.0) - ridge(azimuth, 260.0, 30.0, 1.5);
}

// Flipped, the tube meets the pier at low altitudes on the east side.
double reverse_altitude(double azimuth)
{
    return std::max(direct_altitude(azimuth), 4.0 + ridge(azimuth, 90.0, 60.0, 12.0));
}

QString format_point(double azimuth, double altitude)
{
    return QString::number(azimuth, 'f', 1) + QLatin1Char(' ') + QString::number(altitude, 'f', 2);
}

} // namespace

HorizonProfile HorizonProfile::from_function(const char *heading, double (*altitude)(double))
{
    HorizonProfile profile;
    profile.profile_text = QByteArray(heading) + '\n';
    profile.profile_text += "# azimuth from the north through the east, altitude; degrees\n";
    for (int az = 0; az < max_points; ++az) {
        const double alt = std::round(altitude(az) * 100.0) / 100.0;
        profile.sorted_points.append({double(az), alt});
        profile.profile_text += format_point(az, alt).toLatin1() + '\n';
    }
    return profile;
}

HorizonProfile HorizonProfile::built_in_direct()
{
    return from_function("# Velto-1000 horizon, telescope in the direct position", direct_altitude);
}

HorizonProfile HorizonProfile::built_in_reverse()
{
    return from_function("# Velto-1000 horizon, telescope in the reverse (flipped) position",
                         reverse_altitude);
}

bool HorizonProfile::read(const QByteArray &text, Role role, QString *error)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    QVector<Point> points;
    Role filed_as = Role::Direct; // where the program puts points without a heading
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).trimmed();
        if (lines.at(i).startsWith('#') && points.isEmpty()) {
            if (lines.at(i).mid(1).contains("direct"))
                filed_as = Role::Direct;
            else if (lines.at(i).mid(1).contains("reverse"))
                filed_as = Role::Reverse;
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(blanks);
        bool az_ok = false, alt_ok = false;
        const double az = read_number(fields.at(0), &az_ok);
        const double alt = fields.size() > 1 ? read_number(fields.at(1), &alt_ok) : 0.0;
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        if (!az_ok || !alt_ok || fields.size() != 2) {
            *error = where + QStringLiteral("expected \"azimuth altitude\" in degrees, got \"") +
                     line + QLatin1Char('"');
            return false;
        }
        if (az < 0 || az >= 360 || alt < -90 || alt > 90) {
            *error =
                where + QStringLiteral("azimuth must be 0 to below 360 and altitude -90 to 90");
            return false;
        }
        points.append({az, alt});
    }
    if (points.isEmpty() || points.size() > max_points) {
        *error = QStringLiteral("a profile holds 1 to %1 points, this one %2")
                     .arg(max_points)
                     .arg(points.size());
        return false;
    }
    if (filed_as != role) {
        *error = role == Role::Reverse
                     ? QStringLiteral("the program would take these points for the direct "
                                      "profile: begin with a heading line naming \"reverse\"")
                     : QStringLiteral("the program would take these points for the reverse "
                                      "profile: begin with a heading line naming \"direct\"");
        return false;
    }
    std::sort(points.begin(), points.end(),
              [](const Point &a, const Point &b) { return a.azimuth < b.azimuth; });
    sorted_points = points;
    profile_text = text;
    return true;
}

double HorizonProfile::altitude_at(double azimuth) const
{
    if (sorted_points.isEmpty())
        return 0.0;
    azimuth = std::fmod(azimuth, 360.0);
    if (azimuth < 0)
        azimuth += 360.0;
    // First point at or beyond the azimuth; its predecessor wraps round the circle.
    const auto next = std::lower_bound(sorted_points.begin(), sorted_points.end(), azimuth,
                                       [](const Point &p, double az) { return p.azimuth < az; });
    const Point &after = next == sorted_points.end() ? sorted_points.front() : *next;
    const Point &before = next == sorted_points.begin() ? sorted_points.back() : *(next - 1);
    double span = after.azimuth - before.azimuth;
    double offset = azimuth - before.azimuth;
    if (span <= 0)
        span += 360.0;
    if (offset < 0)
        offset += 360.0;
    if (span <= 0 || span >= 360.0)
        return before.altitude;
    return before.altitude + (after.altitude - before.altitude) * offset / span;
}
