#include "sky/velto_sky.h"

#include "coords/coord_text.h"
#include "coords/sky_transform.h"
#include "coords/velto_object.h"
#include "tcs/tcs_host.h"
#include "ui_velto_sky.h"

#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace
{

// The chart's texts follow the chart's size: 550 pixels is the natural size.
void scale_font(QPainter &painter, int side)
{
    QFont font = painter.font();
    const double scale = side / 550.0;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * scale))));
    painter.setFont(font);
}

// Four arms of a cross around (x, y): from the gap out to the arm end, along
// the axes or along the diagonals.
void draw_cross(QPainter &painter, const QPoint &at, const MarkerSizes &m, bool diagonal)
{
    const int x = at.x(), y = at.y(), a = m.arm_end, c = m.gap;
    if (diagonal) {
        const QLine arms[] = {{x - c, y - c, x - a, y - a},
                              {x + c, y + c, x + a, y + a},
                              {x + c, y - c, x + a, y - a},
                              {x - c, y + c, x - a, y + a}};
        painter.drawLines(arms, 4);
    } else {
        const QLine arms[] = {
            {x - c, y, x - a, y}, {x + c, y, x + a, y}, {x, y - c, x, y - a}, {x, y + c, x, y + a}};
        painter.drawLines(arms, 4);
    }
}

QRect circle_box(const QPoint &centre, int radius)
{
    return {centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius};
}

// Every object gets the same small circle: it is drawn once into a stamp
// that is copied to each place. Aliased drawing moved by whole pixels covers
// the same pixels, so the chart looks as if each circle were drawn there.
QImage circle_stamp(const QPen &pen, int radius, int &offset)
{
    offset = radius + pen.width() + 1;
    QImage stamp(2 * offset + 1, 2 * offset + 1, QImage::Format_ARGB32_Premultiplied);
    stamp.fill(Qt::transparent);
    QPainter painter(&stamp);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle_box({offset, offset}, radius));
    return stamp;
}

// The stamp's opaque pixels as offsets from its corner, or none when the
// stamp has half-transparent pixels (those would blend anew where two
// stamps overlap).
QVector<QPoint> opaque_pixels(const QImage &stamp)
{
    QVector<QPoint> opaque;
    for (int y = 0; y < stamp.height(); ++y)
        for (int x = 0; x < stamp.width(); ++x) {
            const int alpha = qAlpha(stamp.pixel(x, y));
            if (alpha == 255)
                opaque.append({x, y});
            else if (alpha != 0)
                return {};
        }
    return opaque;
}

} // namespace

Velto_sky::Velto_sky(QWidget *parent, QList<Velto_object *> *objects, Velto_object *telescope)
    : QFrame(parent), form(new Ui::Velto_sky), obj_list(objects), telescope(telescope)
{
    form->setupUi(this);
    chart_width = width();
    chart_height = height();
    host = default_tcs_host();
    request_horizon(true);
    QTimer::singleShot(500, this, &Velto_sky::get_horizon_line);
}

Velto_sky::~Velto_sky()
{
    // The manager deletes a reply still in flight after this chart's own
    // members are gone: it must not call back into them.
    if (horizon_reply)
        horizon_reply->disconnect(this);
    delete form;
}

bool Velto_sky::ready() const
{
    return !telescope->is_comment && sidereal_time >= 0;
}

void Velto_sky::refresh_sky()
{
    if (sidereal_time < 0)
        return;
    if (obj_list->isEmpty()) {
        selected = -1;
        if (tcs_ok)
            update();
        return;
    }
    if (!telescope->is_comment || tcs_ok)
        update();
}

void Velto_sky::set_tel_flip(bool flipped)
{
    if (flipped == tel_flip)
        return;
    tel_flip = flipped;
    emit horizon_changed();
}

void Velto_sky::set_tcs_ok(bool ok)
{
    tcs_ok = ok;
}

void Velto_sky::retranslateUi()
{
    form->retranslateUi(this);
}

void Velto_sky::set_colours(const SkyColours &new_colours)
{
    colours = new_colours;
    update();
}

void Velto_sky::paintEvent(QPaintEvent *)
{
    if (height() < 100)
        return;
    const int side = std::min(width(), height());
    chart_width = chart_height = side;

    QPainter painter(this);
    scale_font(painter, side);
    QPen main_pen(colours.main, 1, Qt::SolidLine);
    QPen accent_pen(colours.accent, 1, Qt::SolidLine);
    painter.setPen(main_pen);
    painter.setBrush(colours.fill);

    const int r = side / 2;
    const int rr = static_cast<int>(std::lround(side / 2.0));
    painter.drawEllipse(r - rr, r - rr, 2 * rr, 2 * rr);
    painter.setBrush(Qt::NoBrush);

    paint_grid(painter, main_pen, accent_pen);
    const int dy = line_spacing(side);
    if (tcs_ok && ready())
        paint_telescope(painter, accent_pen);
    if ((tcs_ok || !obj_list->isEmpty()) && (direct_horizon.count > 0 || reverse_horizon.count > 0))
        paint_horizon(painter, accent_pen);
    paint_objects(painter, main_pen, accent_pen, dy);
}

void Velto_sky::paint_grid(QPainter &painter, const QPen &main_pen, const QPen &accent_pen)
{
    const int side = chart_width;
    if (grid == SkyGrid::HaDec) {
        for (const GridStroke &stroke : hadec_cache.strokes(side, view)) {
            painter.setPen(stroke.accent ? accent_pen : main_pen);
            painter.drawLines(stroke.segments);
        }
        return;
    }
    painter.setPen(main_pen);
    const AltAzGrid altaz = altaz_grid(side, view);
    const QPoint centre(side / 2, side / 2);
    for (int radius : altaz.circle_radii)
        painter.drawEllipse(circle_box(centre, radius));
    painter.drawLines(altaz.azimuth_lines);
}

void Velto_sky::paint_telescope(QPainter &painter, QPen &accent_pen)
{
    const int side = chart_width;
    const QPoint at = project(telescope->azimuth, telescope->zenith_dist, side, view);
    telescope->sky_x = at.x();
    telescope->sky_y = at.y();
    accent_pen.setColor(colours.telescope);
    accent_pen.setWidth(marker_pen_width(side));
    painter.setPen(accent_pen);
    painter.setBrush(Qt::NoBrush);
    const MarkerSizes m = marker_sizes(side);
    draw_cross(painter, at, m, false);
    painter.drawEllipse(circle_box(at, m.circle));

    const QString lines[] = {QLatin1String("R.A. = ") + sec_to_ra(telescope->ra_sec),
                             QLatin1String("Decl. = ") + sec_to_dec(telescope->dec_sec),
                             QLatin1String("HA = ") + chart_number(telescope->hour_angle / 3600.0),
                             QLatin1String("A = ") +
                                 chart_number(shown_telescope_azimuth(telescope->azimuth)),
                             QLatin1String("Z = ") + chart_number(telescope->zenith_dist / 3600.0)};
    for (int k = 1; k <= 5; ++k)
        painter.drawText(telescope_text_origin(side, k), lines[k - 1]);
}

void Velto_sky::paint_horizon(QPainter &painter, QPen &accent_pen)
{
    const int side = chart_width;
    accent_pen.setColor(colours.horizon);
    accent_pen.setWidth(marker_pen_width(side));
    painter.setPen(accent_pen);
    painter.setBrush(Qt::NoBrush);
    HorizonSet &set = tel_flip ? reverse_horizon : direct_horizon;
    const int n = set.count;
    QVector<QLine> outline;
    outline.reserve(n);
    for (int i = 0; i < n; ++i) {
        HorizonPoint &p = set.points[i];
        const QPoint at = project(p.azimuth * 3600.0, p.zenith_dist * 3600.0, side, view);
        p.x = at.x();
        p.y = at.y();
    }
    for (int i = 1; i <= n; ++i) {
        const HorizonPoint &from = set.points[i - 1];
        const HorizonPoint &to = set.points[i % n];
        outline.append(QLine(from.x, from.y, to.x, to.y));
    }
    painter.drawLines(outline);
}

void Velto_sky::paint_objects(QPainter &painter, QPen &main_pen, QPen &accent_pen, int dy)
{
    main_pen.setWidth(2);
    if (obj_list->isEmpty() || !ready())
        return;
    placement.place(*obj_list, chart_width, view);
    painter.setPen(main_pen);
    int offset = 0;
    const QImage stamp = circle_stamp(main_pen, marker_sizes(chart_width).dot, offset);
    // One layer costs about as much as 2,000 stamps drawn one by one.
    const QVector<QPoint> opaque =
        obj_list->size() >= 2000 ? opaque_pixels(stamp) : QVector<QPoint>();
    if (opaque.isEmpty()) {
        for (const Velto_object *object : *obj_list)
            if (!object->is_comment && object->sky_x > 0 && object->sky_y > 0)
                painter.drawImage(object->sky_x - offset, object->sky_y - offset, stamp);
    } else {
        paint_stamps(painter, opaque, stamp.pixel(opaque.first()), offset);
    }
    if (selected >= 0 && selected < obj_list->size() && !obj_list->at(selected)->is_comment)
        paint_selected(painter, main_pen, accent_pen, dy);
}

// An opaque pixel covers what lies under it, so the stamps' pixels written
// into one transparent layer paint as the stamps would one by one, and the
// painter blends a single image instead of one per object.
void Velto_sky::paint_stamps(QPainter &painter, const QVector<QPoint> &opaque, QRgb colour,
                             int offset)
{
    if (stamp_layer.size() != size())
        stamp_layer = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    stamp_layer.fill(Qt::transparent);
    const int w = stamp_layer.width(), h = stamp_layer.height();
    QRgb *const pixels = reinterpret_cast<QRgb *>(stamp_layer.bits());
    const qsizetype stride = stamp_layer.bytesPerLine() / qsizetype(sizeof(QRgb));
    QVector<qsizetype> steps; // each opaque pixel from the stamp's corner
    for (const QPoint &p : opaque)
        steps.append(p.y() * stride + p.x());
    const int span = 2 * offset + 1; // the stamp's side
    for (const QPoint &at : placement.pixels()) {
        if (at.x() <= 0 || at.y() <= 0)
            continue;
        const int left = at.x() - offset, top = at.y() - offset;
        if (left >= 0 && top >= 0 && left + span <= w && top + span <= h) {
            QRgb *const corner = pixels + top * stride + left;
            for (const qsizetype step : steps)
                corner[step] = colour;
            continue;
        }
        for (const QPoint &p : opaque) {
            const int x = left + p.x(), y = top + p.y();
            if (x >= 0 && y >= 0 && x < w && y < h)
                pixels[y * stride + x] = colour;
        }
    }
    painter.drawImage(0, 0, stamp_layer);
}

void Velto_sky::paint_selected(QPainter &painter, QPen &main_pen, QPen &accent_pen, int dy)
{
    const int side = chart_width;
    const Velto_object &object = *obj_list->at(selected);
    if (object.sky_x > 0 && object.sky_y > 0) {
        // The accent pen keeps the width the telescope or horizon gave it.
        accent_pen.setColor(colours.selected);
        painter.setPen(accent_pen);
        draw_cross(painter, {object.sky_x, object.sky_y}, marker_sizes(side), true);
    }
    main_pen.setColor(colours.text);
    main_pen.setWidth(1);
    painter.setPen(main_pen);
    const int x = 5;
    painter.drawText(x, side - dy, object.name);
    painter.drawText(x, dy, QLatin1String("R.A. = ") + sec_to_ra(object.ra_sec));
    painter.drawText(x, 2 * dy, QLatin1String("Decl. = ") + sec_to_dec(object.dec_sec));
    painter.drawText(x, 3 * dy,
                     QLatin1String("HA = ") +
                         chart_number(shown_hour_angle(sidereal_time, object.ra_sec)));
    painter.drawText(x, 4 * dy, QLatin1String("A = ") + chart_number(object.azimuth / 3600.0));
    painter.drawText(x, 5 * dy, QLatin1String("Z = ") + chart_number(object.zenith_dist / 3600.0));
    painter.drawText(x, side - 3 * dy, QLatin1String("Epoch = ") + object.epoch_str);
}
