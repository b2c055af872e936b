#pragma once

#include "sky/velto_sky.h"

#include <QImage>

// Lets tests read and prepare the sky chart's state.
class SkyProbe
{
public:
    explicit SkyProbe(Velto_sky &sky) : sky(sky) {}

    int selected() const { return sky.selected; }
    int chartWidth() const { return sky.chart_width; }
    int chartHeight() const { return sky.chart_height; }
    SkyView view() const { return sky.view; }
    SkyGrid grid() const { return sky.grid; }
    bool telFlip() const { return sky.tel_flip; }
    bool tcsOk() const { return sky.tcs_ok; }
    const QString &host() const { return sky.host; }
    QNetworkReply *pendingReply() const { return sky.horizon_reply; }
    HorizonSet &direct() const { return sky.direct_horizon; }
    HorizonSet &reverse() const { return sky.reverse_horizon; }
    // Asks for a horizon profile again, from another host when one is given.
    void request(bool direct, const QString &from = QString())
    {
        if (!from.isNull())
            sky.host = from;
        sky.request_horizon(direct);
    }

    // Fills a horizon set with points all round at one zenith distance.
    static void fill(HorizonSet &set, int count, double zenith_dist)
    {
        for (int i = 0; i < count; ++i)
            set.points[i] = HorizonPoint{0, 0, 360.0 * i / count, zenith_dist};
        set.count = count;
    }

    // The chart as painted into an image of its own size.
    QImage render() const
    {
        QImage image(sky.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        sky.render(&image);
        return image;
    }

private:
    Velto_sky &sky;
};
