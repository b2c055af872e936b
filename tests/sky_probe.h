#pragma once

#include "sky/velto_sky.h"

#include <QImage>
#include <QPaintEngine>

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

    // The texts the chart paints: "<colour> <x>,<y> <text>" at each baseline.
    QStringList texts() const
    {
        struct Log : QPaintDevice, QPaintEngine {
            Log() : QPaintEngine(AllFeatures) {}
            QSize size;
            QString pen;
            QStringList texts;
            QPaintEngine *paintEngine() const override { return const_cast<Log *>(this); }
            int metric(PaintDeviceMetric m) const override
            {
                return m == PdmWidth                    ? size.width()
                       : m == PdmHeight                 ? size.height()
                       : m == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale())
                       : m == PdmDevicePixelRatio       ? 1
                                                        : 96; // dots per inch, depth
            }
            bool begin(QPaintDevice *) override { return true; }
            bool end() override { return true; }
            Type type() const override { return User; }
            void updateState(const QPaintEngineState &state) override
            {
                pen = state.pen().color().name();
            }
            void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
            void drawPath(const QPainterPath &) override {}
            void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
            void drawTextItem(const QPointF &at, const QTextItem &item) override
            {
                texts << QStringLiteral("%1 %2,%3 %4")
                             .arg(pen)
                             .arg(at.x())
                             .arg(at.y())
                             .arg(item.text());
            }
        } log;
        log.size = sky.size();
        sky.render(&log);
        return log.texts;
    }

private:
    Velto_sky &sky;
};
