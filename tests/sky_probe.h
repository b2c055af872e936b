#pragma once

#include "sky/velto_sky.h"

#include <QPaintEngine>

// Lets tests read the sky chart's state.
class SkyProbe
{
public:
    explicit SkyProbe(Velto_sky &sky) : sky(sky) {}

    int selected() const { return sky.selected; }
    QNetworkReply *pendingReply() const { return sky.horizon_reply; }

    // What a paint draws, in order: "<pen> <x>,<y> <text>" at a text's baseline,
    // "<pen> line <x>,<y> <x>,<y>", "<pen> ellipse <x>,<y>,<w>,<h> <brush or none>",
    // "image <x>,<y>"; colours as #rrggbb.
    QStringList painted() const
    {
        struct Log : QImage, QPaintEngine { // an image's size and resolution
            explicit Log(QSize size) : QImage(size, Format_RGB32), QPaintEngine(AllFeatures) {}
            QString pen, brush;
            QStringList drawn;
            QPaintEngine *paintEngine() const override { return const_cast<Log *>(this); }
            bool begin(QPaintDevice *) override { return true; }
            bool end() override { return true; }
            Type type() const override { return User; }
            void updateState(const QPaintEngineState &state) override
            {
                pen = state.pen().color().name();
                brush = state.brush().style() ? state.brush().color().name() : "none";
            }
            static QString at(QPointF p) { return QStringLiteral("%1,%2").arg(p.x()).arg(p.y()); }
            void drawLines(const QLineF *lines, int count) override
            {
                for (int i = 0; i < count; ++i)
                    drawn << pen + " line " + at(lines[i].p1()) + ' ' + at(lines[i].p2());
            }
            void drawEllipse(const QRectF &r) override
            {
                drawn << pen + " ellipse " + at(r.topLeft()) + ',' + at({r.width(), r.height()}) +
                             ' ' + brush;
            }
            void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override
            {
                drawn << "image " + at(r.topLeft()); // images too
            }
            void drawPath(const QPainterPath &) override {}
            void drawTextItem(const QPointF &p, const QTextItem &item) override
            {
                drawn << pen + ' ' + at(p) + ' ' + item.text();
            }
        } log(sky.size());
        sky.render(&log);
        return log.drawn;
    }

private:
    Velto_sky &sky;
};
