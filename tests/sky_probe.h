#pragma once

#include "sky/velto_sky.h"

#include <QImage>

// Lets tests read the sky chart's state.
class SkyProbe
{
public:
    explicit SkyProbe(Velto_sky &sky) : sky(sky) {}

    int selected() const { return sky.selected; }
    int chartWidth() const { return sky.chart_width; }
    QNetworkReply *pendingReply() const { return sky.horizon_reply; }

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
