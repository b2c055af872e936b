#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// One horizon profile as the horizon script serves it: heading lines that
// begin with '#', then point lines "azimuth altitude" in degrees, azimuth
// counted from the north through the east. The telescope uses the direct
// profile in its normal position and the reverse one when flipped (the
// flipped tube hangs lower on the east side of the pier, so the reverse
// profile is higher there).
class HorizonProfile
{
public:
    struct Point {
        double azimuth;  // degrees from the north through the east, 0 <= az < 360
        double altitude; // degrees above the horizon
    };

    static constexpr int max_points = 360;

    // The built-in mountain profiles of the site.
    static HorizonProfile built_in_direct();
    static HorizonProfile built_in_reverse();

    enum class Role { Direct, Reverse };

    // Reads a profile in the served format; on failure returns false and sets
    // error to a line a person can act on. The text is served as read. The
    // program files the points by the heading lines, not by the key it asked
    // with, so the headings must name the role ("direct" or "reverse").
    bool read(const QByteArray &text, Role role, QString *error);

    // Altitude of the profile at an azimuth (degrees from the north through
    // the east), linear between neighbouring points, round the circle.
    double altitude_at(double azimuth) const;

    QByteArray text() const { return profile_text; }
    const QVector<Point> &points() const { return sorted_points; }

private:
    static HorizonProfile from_function(const char *heading, double (*altitude)(double));

    QByteArray profile_text;
    QVector<Point> sorted_points; // sorted by azimuth
};

struct HorizonProfiles {
    HorizonProfile direct = HorizonProfile::built_in_direct();
    HorizonProfile reverse = HorizonProfile::built_in_reverse();

    const HorizonProfile &for_flip(bool flipped) const { return flipped ? reverse : direct; }
};
