#pragma once

#include "coords/observing_times.h"
#include "coords/sky_transform.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QVector>

class Velto_object;

// The objects of the list with what they do tonight: one row per row of the
// list window (comment rows too, which the window's filter hides), in list
// order. Every number is worked out for one instant and its sidereal time,
// given to refresh(); the times of the next transit and crossing are kept as
// instants and only worked out again when they have passed, the horizon has
// changed or the sidereal time jumped.
class Velto_tonight_model : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Name, RA, Dec, Epoch, HA, Alt, Az, Airmass, Transit, Up, Until, Columns };
    // Besides the texts: the number a column sorts by, and the two facts the
    // window's filter needs.
    enum Role { SortRole = Qt::UserRole, ObjectRole, UpRole };

    Velto_tonight_model(const QList<Velto_object *> *objects, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The rows follow the list window: rows first..last were inserted into
    // or are gone from the object list.
    void insert_rows(int first, int last);
    void remove_rows(int first, int last);
    // Every row read again from the object list; its numbers come with the
    // next refresh.
    void reload();
    void set_horizon(const HorizonLimit &limit);
    // The numbers of every row at an instant, at which the local sidereal
    // time is `sidereal_now` (seconds of time).
    void refresh(const QDateTime &instant, double sidereal_now);
    // The header texts in the current language.
    void retranslate();

private:
    struct Row {
        bool object = false;
        QString name;
        QString ra_text;
        QString dec_text;
        QString epoch;
        double ra = 0;          // seconds of time
        double dec = 0;         // arcseconds
        DeclinationTerms terms; // of dec, kept from refresh to refresh
        double hour_angle = 0;  // seconds of time
        double altitude = 0;    // degrees
        double azimuth = 0;     // degrees from the south, positive to the west
        bool up = false;
        bool times_known = false;
        QDateTime transit; // UT
        QDateTime until;   // UT; null for "always" or "never"
    };

    Row row_of(const Velto_object &object) const;
    void place(Row &row);
    QString text(const Row &row, int column) const;
    QVariant sort_key(const Row &row, int column) const;

    const QList<Velto_object *> *objects;
    QVector<Row> rows;
    HorizonLimit horizon;
    QDateTime now;
    double sidereal = -1; // at `now`; negative before the first refresh
};
