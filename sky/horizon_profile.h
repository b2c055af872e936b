#pragma once

#include <QString>
#include <QVector>
#include <array>

class QIODevice;

// The local horizon as the TCS web host describes it, one profile for the
// telescope in its direct position and one for it flipped.

// One point of a profile: azimuth in degrees from the south toward the west
// (0..360), zenith distance in degrees, and the chart pixel of the last paint.
struct HorizonPoint {
    int x = 0;
    int y = 0;
    double azimuth = 0;
    double zenith_dist = 0;
};

// At most this many points of a reply are used.
constexpr int max_horizon_points = 360;

struct HorizonSet {
    std::array<HorizonPoint, max_horizon_points> points{};
    int count = 0; // valid points, 0..360
};

enum class HorizonKind { Direct, Reverse };

// What one reply holds: the set its heading names and its points in order.
struct HorizonReading {
    HorizonKind target = HorizonKind::Direct;
    QVector<HorizonPoint> points;
};

// Reads a horizon reply line by line to its end. A "#" heading before the
// first point picks the set ("direct", else "reverse"; direct without one).
// Point lines hold azimuth (from the north through the east) and altitude in
// degrees; a missing or unreadable number counts 0. Lines past the 360th
// point are ignored.
HorizonReading read_horizon(QIODevice &reply);

// The log line for a reading: "Loading 3 'direct' horizon points."
QString horizon_loading_line(const HorizonReading &reading);
