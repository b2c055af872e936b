#include "tonight/tonight_model.h"

#include "coords/sky_transform.h"
#include "coords/vector_state.h"
#include "coords/velto_object.h"

#include <cmath>
#include <limits>

namespace
{

// A sidereal time further than this from the one carried on since the last
// refresh is a new clock (the TCS's after the computer's): the kept times of
// transit and crossing are worked out again.
constexpr double sidereal_jump = 2.0;

// "hh:mm" of an instant in UT, to the nearest minute.
QString ut_minutes(const QDateTime &instant)
{
    return instant.addSecs(30).toUTC().toString(QStringLiteral("hh:mm"));
}

// Signed hours and minutes: "-1:23" east of the meridian, "+2:05" west.
QString hour_angle_text(double seconds)
{
    const int minutes = static_cast<int>(std::lround(std::fabs(seconds) / 60.0));
    const QLatin1Char sign(seconds < 0 && minutes > 0 ? '-' : '+');
    return sign + QString::number(minutes / 60) + QLatin1Char(':') +
           QString::number(minutes % 60).rightJustified(2, QLatin1Char('0'));
}

} // namespace

Velto_tonight_model::Velto_tonight_model(const QList<Velto_object *> *objects, QObject *parent)
    : QAbstractTableModel(parent), objects(objects)
{
}

int Velto_tonight_model::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int Velto_tonight_model::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant Velto_tonight_model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name:
        return tr("Name");
    case RA:
        return tr("R.A.");
    case Dec:
        return tr("Decl.");
    case Epoch:
        return tr("Epoch");
    case HA:
        return tr("HA");
    case Alt:
        return tr("Alt");
    case Az:
        return tr("Az");
    case Airmass:
        return tr("Airmass");
    case Transit:
        return tr("Transit");
    case Up:
        return tr("Up");
    case Until:
        return tr("Until");
    }
    return QVariant();
}

void Velto_tonight_model::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, Columns - 1);
    if (!rows.isEmpty())
        emit dataChanged(index(0, Up), index(int(rows.size()) - 1, Until));
}

QVariant Velto_tonight_model::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    const Row &row = rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return text(row, index.column());
    case SortRole:
        return sort_key(row, index.column());
    case ObjectRole:
        return row.object;
    case UpRole:
        return row.up;
    case Qt::TextAlignmentRole:
        if (index.column() == Name || index.column() == Up)
            return QVariant();
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return QVariant();
}

QString Velto_tonight_model::text(const Row &row, int column) const
{
    const bool known = row.object && sidereal >= 0;
    switch (column) {
    case Name:
        return row.name;
    case RA:
        return row.ra_text;
    case Dec:
        return row.dec_text;
    case Epoch:
        return row.epoch;
    case HA:
        return known ? hour_angle_text(row.hour_angle) : QString();
    case Alt:
        return known ? QString::number(row.altitude, 'f', 1) : QString();
    case Az:
        return known ? QString::number(row.azimuth, 'f', 1) : QString();
    case Airmass:
        if (!known)
            return QString();
        return row.altitude < 0 ? QStringLiteral("\u2014")
                                : QString::number(airmass(row.altitude), 'f', 2);
    case Transit:
        return known ? ut_minutes(row.transit) : QString();
    case Up:
        if (!known)
            return QString();
        return row.up ? tr("up") : tr("down");
    case Until:
        if (!known)
            return QString();
        if (row.until.isNull())
            return row.up ? tr("always") : tr("never");
        return ut_minutes(row.until);
    }
    return QString();
}

QVariant Velto_tonight_model::sort_key(const Row &row, int column) const
{
    // Below the horizon, and "always" or "never", after every number.
    constexpr double last = std::numeric_limits<double>::max();
    switch (column) {
    case Name:
        return row.name;
    case RA:
        return row.ra;
    case Dec:
        return row.dec;
    case Epoch:
        return row.epoch;
    case HA:
        return row.hour_angle;
    case Alt:
        return row.altitude;
    case Az:
        return row.azimuth;
    case Airmass:
        return row.altitude < 0 ? last : airmass(row.altitude);
    case Transit:
        return row.transit;
    case Up:
        return row.up;
    case Until:
        if (row.until.isNull())
            return row.up ? last / 2 : last;
        return static_cast<double>(row.until.toMSecsSinceEpoch());
    }
    return QVariant();
}

Velto_tonight_model::Row Velto_tonight_model::row_of(const Velto_object &object) const
{
    Row row;
    row.object = !object.is_comment;
    row.name = object.name;
    row.ra_text = object.ra_str;
    row.dec_text = object.dec_str;
    row.epoch = object.epoch_str;
    row.ra = object.ra_sec;
    row.dec = object.dec_sec;
    row.terms = declination_terms(row.dec);
    return row;
}

void Velto_tonight_model::place(Row &row)
{
    if (!row.object || sidereal < 0)
        return;
    row.hour_angle = hour_angle_at(sidereal, row.ra);
    const HorizonPlace place = radec_to_az_with(sidereal, row.ra, row.terms);
    row.altitude = 90.0 - place.zenith_dist / 3600.0;
    row.azimuth = place.azimuth / 3600.0;
    row.up = horizon.is_up(place.azimuth, place.zenith_dist);
    if (row.times_known && row.transit >= now && (row.until.isNull() || row.until > now))
        return;
    row.transit = now.addMSecs(std::llround(seconds_to_transit(sidereal, row.ra) * 1000.0));
    const double crossing = seconds_to_crossing(sidereal, row.ra, row.dec, horizon);
    row.until = crossing < 0 ? QDateTime() : now.addMSecs(std::llround(crossing * 1000.0));
    row.times_known = true;
}

void Velto_tonight_model::insert_rows(int first, int last)
{
    beginInsertRows(QModelIndex(), first, last);
    for (int i = first; i <= last; ++i) {
        rows.insert(i, row_of(*objects->at(i)));
        place(rows[i]);
    }
    endInsertRows();
}

void Velto_tonight_model::remove_rows(int first, int last)
{
    beginRemoveRows(QModelIndex(), first, last);
    rows.remove(first, last - first + 1);
    endRemoveRows();
}

void Velto_tonight_model::reload()
{
    beginResetModel();
    rows.clear();
    rows.reserve(objects->size());
    for (const Velto_object *object : *objects)
        rows.append(row_of(*object));
    endResetModel();
}

void Velto_tonight_model::set_horizon(const HorizonLimit &limit)
{
    horizon = limit;
    for (Row &row : rows)
        row.times_known = false;
}

void Velto_tonight_model::refresh(const QDateTime &instant, double sidereal_now)
{
    if (sidereal >= 0) {
        const double carried =
            sidereal_after(sidereal, static_cast<double>(now.msecsTo(instant)) / 1000.0);
        const double off = std::fabs(carried - sidereal_now);
        if (std::min(off, 86400.0 - off) > sidereal_jump)
            for (Row &row : rows)
                row.times_known = false;
    }
    now = instant;
    sidereal = sidereal_now;
    clear_vector_upper_state();
    for (Row &row : rows)
        place(row);
    if (!rows.isEmpty())
        emit dataChanged(index(0, HA), index(int(rows.size()) - 1, Until));
}
