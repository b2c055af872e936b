#!/usr/bin/env python3
"""Expected Tonight cells, Sun and air mass for tst_tonight, apart from the program:
the triangle pole-zenith-object at the site (the chart's sin and cos of the latitude,
no refraction, precession or nutation), sidereal time 1.002737909350795 times as fast
as the clock, the horizon linear in azimuth; searches go second by second."""
import math

SIN_LAT, COS_LAT, RATE = 0.6902957888, 0.7235272793, 1.002737909350795
LST0, NOW = 36000.0, 10.0  # 10:00:00 of sidereal time at 2026-12-07 00:00:10 UT
# Chart azimuth (from the south toward the west) and altitude, degrees: 5 deg
# all round but a wall of 25 deg in the west, with 10-degree ramps.
PROFILE = [(az, 25.0 if 70 <= az <= 110 else 5.0) for az in range(0, 370, 10)]
OBJECTS = [  # row name, R.A. (s of time), Decl. (arcsec)
    ("on the meridian", 36000.0, 20 * 3600.0), ("at the celestial pole", 0.0, 90 * 3600.0),
    ("never rises", 36000.0, -60 * 3600.0), ("never sets", 0.0, 75 * 3600.0),
    ("sets behind the western wall", 36000.0 - 3 * 3600 - 50, 0.0),
    ("rises in the east", 36000.0 + 8 * 3600 + 77, 10 * 3600.0)]


def horizontal(ha_sec, dec_arcsec):
    t, d = math.radians(ha_sec / 240.0), math.radians(dec_arcsec / 3600.0)
    x = math.sin(t) * math.cos(d)
    y = SIN_LAT * math.cos(d) * math.cos(t) - COS_LAT * math.sin(d)
    cz = COS_LAT * math.cos(d) * math.cos(t) + SIN_LAT * math.sin(d)
    return math.degrees(math.atan2(x, y)) % 360.0, 90.0 - math.degrees(math.acos(max(-1.0, min(1.0, cz))))


def up(ra, dec, seconds):
    az, alt = horizontal(LST0 + seconds * RATE - ra, dec)
    return next(alt > h0 + (h1 - h0) * (az - a0) / (a1 - a0)
                for (a0, h0), (a1, h1) in zip(PROFILE, PROFILE[1:]) if a0 <= az < a1)


def ut_minutes(seconds):  # hh:mm UT, seconds after NOW, not too near a rounding
    t = NOW + seconds
    assert abs((t % 60) - 30) > 3, t
    m = int((t + 30) // 60)
    return f"{m // 60 % 24:02d}:{m % 60:02d}"


def airmass(alt):  # Kasten and Young (1989), Applied Optics 28, 4735
    z = 90.0 - alt
    return 1.0 / (math.cos(math.radians(z)) + 0.50572 * (96.07995 - z) ** -1.6364)


for name, ra, dec in OBJECTS:
    az, alt = horizontal(LST0 - ra, dec)
    ha = (LST0 - ra + 43200.0) % 86400.0 - 43200.0
    minutes = round(abs(ha) / 60.0)
    assert abs(abs(ha) / 60.0 % 1 - 0.5) > 0.01 and abs((alt * 10 % 1) - 0.5) > 0.01
    ha_text = f'{"-" if ha < 0 and minutes else "+"}{minutes // 60}:{minutes % 60:02d}'
    mass = f"{airmass(alt):.2f}" if alt >= 0 else "\\u2014"
    now = up(ra, dec, 0)
    until = next((s for s in range(1, 86401) if up(ra, dec, s) != now), -1)
    until_text = ut_minutes(until - 0.5) if until > 0 else ("always" if now else "never")
    print(f'row("{name}", {ra}, {dec}, 0, 0, "{ha_text} {alt:.1f} {180 - (180 - az) % 360:.1f} {mass} '
          f'{ut_minutes(((ra - LST0) % 86400.0) / RATE)} {"up" if now else "down"} {until_text}");')


def sun_altitude(lst0, seconds):  # the Astronomical Almanac's low-precision Sun
    n = 9836.5 + (NOW + seconds) / 86400.0  # days from J2000.0 to 2026-12-07 0h UT
    g = math.radians(357.528 + 0.9856003 * n)
    lam = math.radians(280.460 + 0.9856474 * n + 1.915 * math.sin(g) + 0.020 * math.sin(2 * g))
    eps = math.radians(23.439 - 0.0000004 * n)
    ra = math.degrees(math.atan2(math.cos(eps) * math.sin(lam), math.cos(lam))) % 360.0
    dec = math.degrees(math.asin(math.sin(eps) * math.sin(lam)))
    return horizontal(lst0 + seconds * RATE - ra * 240.0, dec * 3600.0)[1]


for lst0 in (LST0, LST0 + 43200):
    alt = sun_altitude(lst0, 0)
    cross = next(s for s in range(1, 86401) if (sun_altitude(lst0, s) < -18) != (alt < -18))
    print(f"Sun at LST {lst0 / 3600:g} h: altitude {alt:.3f}, {cross - 0.5} s to -18 deg")
print("airmass at 90, 30, 10, 0 deg:", " ".join(f"{airmass(a):.4f}" for a in (90, 30, 10, 0)))
