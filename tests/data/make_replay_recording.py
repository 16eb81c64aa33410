#!/usr/bin/env python3
"""Writes replay_3d_fix.txt beside this script: a receiver walking north-east
near Hsinchu that needs three seconds for a 2D fix and six for a 3D fix, with
twelve satellites in view (ten of them used once the fix is 3D). Every
sentence gets its true "*hh"; lines end in CR LF, as the viewer's logs do.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# PRN, elevation, azimuth, SNR once tracked
SATS = [(2, 72, 40, 47), (5, 15, 310, 28), (7, 55, 200, 44), (9, 33, 95, 39),
        (13, 8, 160, 22), (16, 64, 300, 46), (20, 41, 250, 41), (23, 27, 20, 35),
        (26, 50, 130, 43), (29, 19, 75, 31), (30, 5, 230, 18), (31, 86, 10, 49)]
USED_3D = [2, 7, 9, 16, 20, 23, 26, 29, 31, 5]
USED_2D = [2, 7, 16]


def cs(body):
    x = 0
    for b in body.encode('ascii'):
        x ^= b
    return '%02X' % x


def s(body):
    return '$%s*%s' % (body, cs(body))


def dm(value, deg_digits):
    d = int(abs(value))
    m = (abs(value) - d) * 60
    return '%0*d%07.4f' % (deg_digits, d, m)


def cycle(t):
    hh, mm, ss = 3, 14, 15 + t
    utc = '%02d%02d%02d.00' % (hh, mm, ss)
    fix = 1 if t < 3 else (2 if t < 6 else 3)
    used = [] if fix == 1 else (USED_2D if fix == 2 else USED_3D)
    lat = 24.7868 + 0.00002 * t
    lon = 120.9968 + 0.00002 * t
    alt = 61.3 + 0.1 * t
    quality = 0 if fix == 1 else 1
    lines = []
    if fix == 1:
        lines.append(s('GPGGA,%s,,,,,0,00,,,M,,M,,' % utc))
    else:
        lines.append(s('GPGGA,%s,%s,N,%s,E,%d,%02d,0.9,%.1f,M,15.2,M,,' %
                       (utc, dm(lat, 2), dm(lon, 3), quality, len(used), alt)))
    prns = ['%02d' % p for p in used] + [''] * (12 - len(used))
    lines.append(s('GPGSA,A,%d,%s,1.6,0.9,1.3' % (fix, ','.join(prns))))
    for msg in range(3):
        fields = []
        for prn, el, az, snr in SATS[msg * 4:msg * 4 + 4]:
            shown = '' if t == 0 else '%02d' % max(0, snr - 12 + 2 * t if t < 6 else snr)
            fields.append('%02d,%02d,%03d,%s' % (prn, el, az, shown))
        lines.append(s('GPGSV,3,%d,12,%s' % (msg + 1, ','.join(fields))))
    status = 'V' if fix == 1 else 'A'
    knots = 0.0 if fix == 1 else 2.7
    if fix == 1:
        lines.append(s('GPRMC,%s,V,,,,,,,080327,,,N' % utc))
    else:
        lines.append(s('GPRMC,%s,%s,%s,N,%s,E,%.1f,45.0,080327,,,A' %
                       (utc, status, dm(lat, 2), dm(lon, 3), knots)))
    return lines


def main():
    out = ['# Walking receiver near Hsinchu, 8 March 2027, one cycle a second:',
           '# GGA, GSA, three GSV (12 in view), RMC. No fix for 3 s, 2D for 3 s,',
           '# then 3D with ten satellites used. Written by make_replay_recording.py.']
    for t in range(14):
        out.extend(cycle(t))
    with open(os.path.join(HERE, 'replay_3d_fix.txt'), 'w', newline='') as f:
        f.write('\r\n'.join(out) + '\r\n')


if __name__ == '__main__':
    main()
