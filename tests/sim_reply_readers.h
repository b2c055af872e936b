#pragma once

// Reads the simulator's answers by the program's rules for the TCS scripts:
// users list, state reply (keys by prefix in a fixed order) and horizon
// profile. Small stand-ins until the program's own parsers exist.

#include "coords/number_text.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

struct UsersView {
    QStringList entries; // "login (description)"
    int guest_index = 0;
};

inline UsersView read_users(const QByteArray &body)
{
    UsersView view;
    QList<QByteArray> lines = body.split('\n');
    if (body.endsWith('\n'))
        lines.removeLast(); // a line reader stops at the end, not after it
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).simplified();
        const QString login = line.section(QLatin1Char(' '), 0, 0);
        view.entries << login + QStringLiteral(" (") + line.section(QLatin1Char(' '), 1) +
                            QLatin1Char(')');
        if (login.startsWith(QLatin1String("guest")))
            view.guest_index = i;
    }
    return view;
}

struct StateView {
    bool ok = false;
    QString status; // first line or a "Permiss" line, '=' as spaces
    QString user, obj_name, ra2000, dec2000, pa, tcs_mode, tel_mode;
    int level = 0;
    double stime = 0, ra = 0, dec = 0, ha = 0, a = 0, z = 0, vha = 0, vdec = 0;
    double off_ha = 0, off_dec = 0;
    bool flip = false;
    QStringList unmatched;
};

inline StateView read_state(const QByteArray &body)
{
    StateView v;
    QList<QByteArray> lines = body.split('\n');
    if (body.endsWith('\n'))
        lines.removeLast();
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i));
        if (i == 0 || line.startsWith(QLatin1String("Permiss")))
            v.status = QString(line).replace(QLatin1Char('='), QLatin1Char(' '));
        const int eq = line.indexOf(QLatin1Char('='));
        const QString value = eq < 0 ? QString() : line.mid(eq + 1);
        const QString trimmed_value = line.trimmed().section(QLatin1Char('='), 1);
        const double number = read_number(value);
        auto starts = [&line](const char *key) { return line.startsWith(QLatin1String(key)); };
        if (starts("User"))
            v.user = value;
        else if (starts("Level"))
            v.level = value.toInt();
        else if (starts("Stime"))
            v.stime = number;
        else if (starts("RA="))
            v.ra = number;
        else if (starts("Dec="))
            v.dec = number;
        else if (starts("HA="))
            v.ha = number;
        else if (starts("A="))
            v.a = number;
        else if (starts("Z="))
            v.z = number;
        else if (starts("VHA="))
            v.vha = number;
        else if (starts("VDec="))
            v.vdec = number;
        else if (starts("offHA="))
            v.off_ha = number;
        else if (starts("offDec="))
            v.off_dec = number;
        else if (starts("ObjName="))
            v.obj_name = trimmed_value;
        else if (starts("ra2000"))
            v.ra2000 = value;
        else if (starts("dec2000"))
            v.dec2000 = value;
        else if (starts("PA"))
            v.pa = value;
        else if (starts("TCSmode"))
            v.tcs_mode = trimmed_value;
        else if (starts("TelFlip"))
            v.flip = value.startsWith(QLatin1String("Yes"));
        else if (starts("TelMode"))
            v.tel_mode = trimmed_value;
        else if (starts("State"))
            v.ok = trimmed_value == QLatin1String("Ok");
        else
            v.unmatched << line;
    }
    if (lines.isEmpty())
        v.status = QStringLiteral("State=Err");
    return v;
}

struct HorizonView {
    bool direct = true; // which set the points went to
    int count = 0;
    QList<QPair<double, double>> points; // chart azimuth from the south, zenith distance
};

inline HorizonView read_horizon(const QByteArray &body)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    HorizonView v;
    QList<QByteArray> lines = body.split('\n');
    if (body.endsWith('\n'))
        lines.removeLast();
    for (const QByteArray &raw : lines) {
        if (raw.startsWith('#')) {
            if (v.count == 0 && raw.mid(1).contains("direct"))
                v.direct = true;
            else if (v.count == 0 && raw.mid(1).contains("reverse"))
                v.direct = false;
            continue;
        }
        if (v.count == 360)
            continue;
        const QStringList f = QString::fromUtf8(raw).simplified().split(QLatin1Char(' '));
        const double az = read_number(f.value(0));
        const double alt = read_number(f.value(1));
        v.points.append({az + 180.0 > 360.0 ? az - 180.0 : az + 180.0, 90.0 - alt});
        ++v.count;
    }
    return v;
}
