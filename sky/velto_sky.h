#pragma once

#include "sky/horizon_profile.h"
#include "sky/object_placement.h"
#include "sky/sky_colours.h"
#include "sky/sky_geometry.h"

#include <QFrame>
#include <QImage>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointF>
#include <QPointer>

class QPainter;
class Velto_object;

namespace Ui
{
class Velto_sky;
}

// The sky chart: the local sky as a disc with a coordinate grid, the horizon
// profile, the objects of the list, the selected object and the telescope,
// with their coordinates as text. Objects are picked here with the mouse and
// announced with object_picked(); the list window's selection and edits come
// back through set_selected() and list_changed().
class Velto_sky : public QFrame
{
    Q_OBJECT

public:
    Velto_sky(QWidget *parent, QList<Velto_object *> *objects, Velto_object *telescope);
    ~Velto_sky() override;

    // The TCS state reply and the view timer call this after moving the
    // telescope or the sidereal time.
    void refresh_sky();
    // Stored for the next paint; the state reply then calls refresh_sky.
    void set_tel_flip(bool flipped);
    void set_tcs_ok(bool ok);
    void retranslateUi();

    // A row chosen in the list window (-1: none); clamped to the list.
    void set_selected(int row);
    // The list window added, removed or read entries.
    void list_changed();
    void set_view_ovt(bool ovt);
    void set_azgrid(bool azgrid);
    // Paints with these colours from now on.
    void set_colours(const SkyColours &colours);

    // Asks the TCS host for the direct (true) or reverse horizon profile.
    void request_horizon(bool direct);
    // The horizon profile the chart draws now (the reverse one while the
    // telescope is flipped): azimuth (x) and zenith distance (y) in degrees,
    // empty before it has arrived.
    QVector<QPointF> shown_horizon() const;
    bool shows_reverse_horizon() const { return tel_flip; }

signals:
    // A horizon profile arrived, or the flip chose the other one.
    void horizon_changed();
    // The observer picked the object of this row on the chart; the list
    // window selects the row (a second pick of it fills the main form).
    void object_picked(int row);

protected slots:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private slots:
    void get_horizon_line();
    void get_horizon_finish();
    void get_horizon_error(QNetworkReply::NetworkError code);

private:
    friend class SkyProbe; // tests read the chart's state through it

    // True once the telescope has a position and the sidereal time is set.
    bool ready() const;
    void paint_grid(QPainter &painter, const QPen &main_pen, const QPen &accent_pen);
    void paint_telescope(QPainter &painter, QPen &accent_pen);
    void paint_horizon(QPainter &painter, QPen &accent_pen);
    void paint_objects(QPainter &painter, QPen &main_pen, QPen &accent_pen, int dy);
    void paint_stamps(QPainter &painter, const QVector<QPoint> &opaque, QRgb colour, int offset);
    void paint_selected(QPainter &painter, QPen &main_pen, QPen &accent_pen, int dy);
    void release_horizon_reply(QNetworkReply *reply);

    Ui::Velto_sky *form;
    int chart_width = 0;  // pixels; both equal the chart side S after a paint
    int chart_height = 0; // pixels
    QList<Velto_object *> *obj_list;
    int selected = -1; // index in obj_list, -1 for none
    Velto_object *telescope;
    SkyView view = SkyView::Sky;
    SkyGrid grid = SkyGrid::HaDec;
    SkyColours colours = day_sky_colours();
    bool tel_flip = false; // the TCS reports the telescope flipped: reverse horizon
    bool tcs_ok = false;   // the TCS state is Ok: the telescope is drawn
    QString host;          // the horizon host, a copy of the default TCS host
    QNetworkAccessManager manager;
    QPointer<QNetworkReply> horizon_reply; // in flight, null when none
    HorizonSet direct_horizon;
    HorizonSet reverse_horizon;
    HadecGridCache hadec_cache;
    ObjectPlacement placement;
    QImage stamp_layer; // the objects' circles, painted in one go
};
