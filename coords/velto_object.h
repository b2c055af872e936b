#pragma once

#include <QString>

// One sky object or list line: its texts as given, its coordinates as numbers,
// its place on the horizon and on the sky chart.
class Velto_object
{
public:
    Velto_object();
    virtual ~Velto_object();

    virtual void set_object(const QString &name, const QString &ra, const QString &dec,
                            const QString &epoch);
    virtual void set_object(const QString &name, const QString &ra, const QString &dec);
    virtual void set_object(const QString &ra, const QString &dec);

    // Azimuth and zenith-distance rates (arcseconds per second) of this object
    // moving at vha (seconds of time per second) and vdec (arcseconds per
    // second), pa being the parallactic angle in degrees.
    void hadec_rates_to_az(double vha, double vdec, double pa, double &va, double &vz) const;

    bool is_comment = true; // no coordinates: a comment row or an unreadable line
    double azimuth = 0;     // arcseconds from the south, positive to the west
    double zenith_dist = 0; // arcseconds, 0 at the zenith
    double hour_angle = 0;  // seconds of time (from the TCS)
    double ra_sec = 0;      // seconds of time
    double dec_sec = 0;     // arcseconds, negative to the south
    int num = 0;            // row in the object list
    int sky_x = 0;          // chart pixel, -1 when not drawn
    int sky_y = 0;          // chart pixel, -1 when not drawn
    QString name;
    QString ra_str;
    QString dec_str;
    QString epoch_str;

    Velto_object(const Velto_object &) = delete;
    Velto_object &operator=(const Velto_object &) = delete;
};
