#!/usr/bin/env python3
"""Writes the recordings in this folder with true checksums.

Each recording is written out of sentence bodies ("GPGGA,...") and gets its
"*hh" computed here; only lines meant to fail carry a checksum of their own.
Run it from anywhere; it rewrites the *.nmea files beside it. Afterwards run
the build's regen-expected target and review the change of every .json file.
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def cs(body):
    x = 0
    for b in body.encode('latin-1'):
        x ^= b
    return '%02X' % x


def s(body):
    return '$%s*%s' % (body, cs(body))


def dm(value, deg_digits, places):
    """Decimal degrees to (d)ddmm.mmmm and hemisphere index 0 (N/E) or 1 (S/W)."""
    a = abs(value)
    d = int(a)
    m = (a - d) * 60
    return '%0*d%0*.*f' % (deg_digits, d, places + 3, places, m), (1 if value < 0 else 0)


def write(name, header, lines, eol='\r\n'):
    with open(os.path.join(HERE, name), 'wb') as f:
        for h in header:
            f.write(('# ' + h + '\n').encode('latin-1'))
        for line in lines:
            f.write((line + eol).encode('latin-1') if isinstance(line, str) else line)


def hms(t):
    return '%02d%02d%02d' % (t // 3600 % 24, t // 60 % 60, t % 60)


def gsv_lines(talker, sats, in_view=None):
    """sats: list of (prn, elevation, azimuth, snr or '')."""
    in_view = len(sats) if in_view is None else in_view
    total = max(1, (len(sats) + 3) // 4)
    out = []
    for n in range(total):
        group = sats[4 * n:4 * n + 4]
        fields = ['%s' % total, '%d' % (n + 1), '%02d' % in_view]
        for prn, el, az, snr in group:
            fields += ['%02d' % prn, '%02d' % el, '%03d' % az, snr if snr == '' else '%02d' % snr]
        out.append(s(talker + 'GSV,' + ','.join(fields)))
    return out


def sirf_cold_start():
    lines = [s('PSRFTXT,Version:GSW3.2.4_3.1.00.12-SDK003P1.01a'),
             s('PSRFTXT,Version2:F-GPS-03-0701301'),
             s('PSRFTXT,WAAS Disable'),
             s('PSRFTXT,TOW:  0'), s('PSRFTXT,WK:   1399'), s('PSRFTXT,POS:  6378137 0 0'),
             s('PSRFTXT,CLK:  96250'), s('PSRFTXT,CHNL: 12'), s('PSRFTXT,Baud rate: 4800')]
    sky = [(20, 0, 0, ''), (10, 0, 0, ''), (31, 0, 0, ''), (27, 0, 0, ''), (5, 0, 0, ''),
           (13, 0, 0, ''), (4, 0, 0, ''), (2, 0, 0, ''), (29, 0, 0, ''), (7, 0, 0, ''),
           (23, 0, 0, ''), (16, 0, 0, '')]
    # No time yet: the receiver counts from its own start.
    for t in range(12, 15):
        lines += [s('GPGGA,%s.000,,,,,0,00,,,M,0.0,M,,0000' % hms(t)),
                  s('GPGSA,A,1,,,,,,,,,,,,,,,')]
        if t % 5 == 2:
            lines += gsv_lines('GP', sky)
        lines += [s('GPRMC,%s.000,V,,,,,,,060180,,,N' % hms(t))]
    # Time from the satellites, searching: a few signals, still no fix.
    real = [(17, 62, 131, 42), (4, 48, 299, 39), (2, 36, 63, 37), (28, 21, 228, 33),
            (12, 15, 48, 30), (9, 11, 170, 28), (27, 8, 319, 0), (10, 5, 251, 0)]
    lat, lon, alt = 48.13742, 11.57549, 519.4
    t0 = 14 * 3600 + 23 * 60 + 10
    for k in range(14):
        t = t0 + k
        heard = min(len(real), 2 + k // 2)
        sats = [(p, e, a, (snr if i < heard else '')) for i, (p, e, a, snr) in enumerate(real)]
        if k < 4:
            used, fix, q = [], 1, 0
        elif k < 8:
            used, fix, q = [17, 4, 2], 2, 1
        else:
            used, fix, q = [17, 4, 2, 28, 12, 9][:min(6, k - 4)], 3, 1
        la, ns = dm(lat + 0.00001 * (k % 3), 2, 4)
        lo, ew = dm(lon, 3, 4)
        pos = '%s,%s,%s,%s' % (la, 'NS'[ns], lo, 'EW'[ew]) if q else ',,,'
        a = ('%.1f' % (alt + (k - 8) * 0.3)) if fix == 3 else ''
        lines.append(s('GPGGA,%s.000,%s,%d,%02d,%s,%s,M,47.9,M,,0000'
                       % (hms(t), pos, q, len(used), '%.1f' % (4.1 - 0.3 * len(used)) if q else '',
                          a)))
        prns = ['%02d' % p for p in used] + [''] * (12 - len(used))
        dops = ('%.1f,%.1f,%.1f' % (3.2 - 0.2 * len(used), 4.1 - 0.3 * len(used), 2.0)
                if q else ',,')
        lines.append(s('GPGSA,A,%d,%s,%s' % (fix, ','.join(prns), dops)))
        if k % 5 == 0:
            lines += gsv_lines('GP', sats)
        st = 'A' if q else 'V'
        lines.append(s('GPRMC,%s.000,%s,%s,%s,%s,081226,,,%s'
                       % (hms(t), st, pos, '0.13' if q else '', '309.62' if q else '',
                          'A' if q else 'N')))
        if k == 9:
            lines.append(s('GPVTG,309.62,T,,M,0.13,N,0.2,K,A'))
    write('sirf_cold_start.nmea',
          ['A SiRF-style receiver (GGA, GSA, RMC each second, GSV every 5 s, PSRFTXT',
           'banner at power-up) after a cold start near Munich: no time and no fix, then',
           'satellite time with no fix, then a 2D fix with 3 satellites, then a 3D fix.',
           'Satellites without a signal have empty SNR fields. CR LF line ends.'], lines)


def vehicle_rmb():
    # A car on a highway south of Sydney, navigating from waypoint HOME to MTKEIRA.
    lines = []
    lat, lon = -34.40620, 150.87810
    dest_lat, dest_lon = -34.41389, 150.86944
    t0 = 23 * 3600 + 59 * 60 + 50  # crosses the top of the hour and midnight
    alt = 18.0
    for k in range(16):
        t = t0 + k
        speed_kn = 38.5 + 0.4 * math.sin(k / 3.0)
        track = 221.3 + 0.5 * k
        lat -= 0.00014
        lon -= 0.00012
        alt += 0.9 if k < 8 else -0.4
        la, ns = dm(lat, 2, 5)
        lo, ew = dm(lon, 3, 5)
        day = '311226' if t < 24 * 3600 else '010127'
        lines.append(s('GPGGA,%s.00,%s,%s,%s,%s,1,09,0.9,%.1f,M,21.3,M,,'
                       % (hms(t), la, 'NS'[ns], lo, 'EW'[ew], alt)))
        lines.append(s('GPGSA,A,3,03,06,09,17,19,22,24,28,30,,,,1.7,0.9,1.4'))
        if k % 4 == 0:
            lines += gsv_lines('GP', [(3, 34, 123, 44), (6, 71, 242, 47), (9, 12, 14, 36),
                                      (17, 25, 301, 41), (19, 52, 95, 46), (22, 8, 201, 31),
                                      (24, 40, 170, 43), (28, 19, 333, 38), (30, 61, 30, 45),
                                      (2, 3, 266, 0)])
        rng = math.hypot(lat - dest_lat, (lon - dest_lon) * math.cos(math.radians(lat))) * 60
        dl, dns = dm(dest_lat, 2, 3)
        dlo, dew = dm(dest_lon, 3, 3)
        lines.append(s('GPRMB,A,0.%02d,%s,HOME,MTKEIRA,%s,%s,%s,%s,%05.2f,%05.1f,%05.1f,%s'
                       % (5 + k % 7, 'LR'[k % 2], dl, 'NS'[dns], dlo, 'EW'[dew], rng,
                          223.0 - 0.1 * k, speed_kn - 1.2, 'A' if rng < 0.6 else 'V')))
        lines.append(s('GPRMC,%s.00,A,%s,%s,%s,%s,%.1f,%.1f,%s,12.6,E,A'
                       % (hms(t), la, 'NS'[ns], lo, 'EW'[ew], speed_kn, track, day)))
        lines.append(s('GPZDA,%s.00,%s,%s,20%s,10,00' % (hms(t), day[0:2], day[2:4], day[4:6])))
    write('vehicle_rmb.nmea',
          ['A receiver in a car near Wollongong, Australia (south and east), at about',
           '38 knots while a navigator follows a route: GGA, GSA, GSV, RMB, RMC and ZDA',
           'each second. The drive crosses midnight UTC, so the climb rate skips the',
           'sentence at the top of the hour and the RMC date rolls over. CR LF line ends.'],
          lines)


def southwest():
    lines = []
    t0 = 15 * 3600 + 4 * 60 + 0
    for k in range(6):
        t = t0 + k
        lines.append(s('GPGGA,%s,3436.4512,S,05822.9876,W,2,07,1.1,25.%d,M,14.2,M,3,0120'
                       % (hms(t), k)))
        lines.append(s('GPGSA,A,3,01,08,11,14,18,22,32,,,,,,2.1,1.1,1.8'))
        lines.append(s('GPRMC,%s,A,3436.4512,S,05822.9876,W,0.0,0.0,150327,8.9,W,D' % hms(t)))
        lines.append(s('GPZDA,%s,15,03,2027,-03,00' % hms(t)))
    write('southwest.nmea',
          ['A receiver standing still in Buenos Aires (south and west) with a DGPS',
           'fix: negative latitude and longitude, westerly magnetic variation, local',
           'zone -03. Times without fractions. LF line ends only.'], lines, eol='\n')


def line_endings():
    gga = s('GPGGA,101500.00,5321.6802,N,00630.3372,W,1,08,1.03,61.7,M,55.3,M,,')
    rmc = s('GPRMC,101500.00,A,5321.6802,N,00630.3372,W,0.015,,120227,,,A')
    bad = '$GPGGA,101501.00,5321.6802,N,00630.3372,W,1,08,1.03,61.9,M,55.3,M,,*51'
    assert bad[-2:] != cs(bad[1:-3])
    gsa = s('GPGSA,A,3,07,08,10,16,20,21,27,30,,,,,1.89,1.03,1.58')
    # Lowercase checksum letters: the second digit reads 0x20 too high, so one
    # passes only when the true checksum has bit 0x20 set.
    def lower_case_digit(templates, passes):
        for template in templates:
            for frac in range(100):
                body = template % frac
                x = int(cs(body), 16)
                if (x & 15) >= 10 and bool(x & 0x20) == passes:
                    return '$%s*%s' % (body, cs(body).lower())
        raise AssertionError(templates)
    zda_lower = lower_case_digit(['GPZDA,101502.%02d,12,02,2027,00,00'], True)
    # A second ZDA that fails: its zone is written 0 rather than 00 to move bit 0x20.
    zda_lower_fails = lower_case_digit(['GPZDA,101503.%02d,12,02,2027,00,00',
                                        'GPZDA,101503.%02d,12,02,2027,0,00'], False)
    rmc2 = s('GPRMC,101502.00,A,5321.6803,N,00630.3370,W,0.021,,120227,,,A')
    data = b'\x00\x00\x00\x00\x00\x00\x00\x00\xff\xfe\x00\x80\x00'
    data += gga.encode() + b'\r\n'
    data += rmc.encode() + b'\r'
    data += b'\x00' + gsa.encode() + b'\n'
    data += bad.encode() + b'\r\n'
    data += b'#\x13\x07 line noise $$ *\r\n'
    # Cut short by a reset of the receiver, no checksum: ends at the CR.
    data += b'$GPGGA,101501.50,5321.6802,N,00630.33\r\n'
    data += zda_lower.encode() + b'\n\n' + zda_lower_fails.encode() + b'\r\n'
    data += b'$GPRMC,101502.00,A,5321.6803,N,00630.3370,W,0.021,,120227,,,A*' + b'\r\n'
    data += rmc2.encode()  # no line end at the end of the file
    with open(os.path.join(HERE, 'line_endings.nmea'), 'wb') as f:
        f.write(b'# Power-up of a receiver near Dublin on a noisy line: NUL and other bytes\n'
                b'# before the first sentence, then CR LF, a lone CR and a lone LF as line\n'
                b'# ends, a NUL before a sentence, a bad checksum, line noise, a sentence cut\n'
                b'# short without checksum, lowercase checksum digits, a sentence cut right\n'
                b'# after the star, and a last line without a line end.\n')
        f.write(data)


def gnss_talkers():
    lines = []
    t0 = 7 * 3600 + 30 * 60
    for k in range(3):
        t = t0 + k
        lines.append(s('GNRMC,%s.00,A,4740.40104,N,00833.26548,E,0.052,,220427,,,A' % hms(t)))
        lines.append(s('GNVTG,,T,,M,0.052,N,0.096,K,A'))
        lines.append(s('GNGGA,%s.00,4740.40104,N,00833.26548,E,1,12,0.66,402.1,M,47.4,M,,'
                       % hms(t)))
        lines.append(s('GNGSA,A,3,10,12,15,24,25,32,120,,,,,,1.16,0.66,0.95'))
        lines.append(s('GNGSA,A,3,66,67,76,77,83,,,,,,,,1.16,0.66,0.95'))
        lines += gsv_lines('GP', [(10, 64, 282, 45), (12, 40, 75, 41), (15, 10, 40, 33),
                                  (24, 58, 98, 46), (25, 26, 158, 40), (32, 28, 301, 42),
                                  (120, 32, 197, 40), (123, 27, 143, 38)])
        lines += gsv_lines('GL', [(66, 46, 62, 39), (67, 70, 214, 43), (76, 31, 309, 36),
                                  (77, 55, 262, 44), (83, 13, 180, 30)])
        lines.append(s('GNGLL,4740.40104,N,00833.26548,E,%s.00,A,A' % hms(t)))
    # The same receiver switched to GPS-only output, which uses the GP talker.
    lines.append(s('GPGSA,A,3,10,12,15,24,25,32,120,,,,,,1.27,0.71,1.05'))
    lines += gsv_lines('GP', [(10, 64, 282, 45), (12, 40, 75, 41), (15, 10, 40, 33),
                              (24, 58, 98, 46), (25, 26, 158, 40), (32, 28, 301, 42),
                              (120, 32, 197, 40), (123, 27, 143, 38)])
    lines.append(s('GPGGA,%s.00,4740.40111,N,00833.26550,E,1,07,0.71,402.3,M,47.4,M,,'
                   % hms(t0 + 4)))
    write('gnss_talkers.nmea',
          ['A multi-constellation receiver near Zurich reporting GPS with GLONASS:',
           'combined GN sentences (counted, not decoded), GP and GL satellites in view,',
           'SBAS satellites 120 and 123, then a switch to GPS-only GP output. CR LF.'],
          lines)


def faults():
    write('resync_after_cut.nmea',
          ['A line that lost its checksum and one cut right after the star: the good',
           'sentences that follow each are still decoded.'],
          ['$GPGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,',
           s('GPRMC,120001.00,A,4807.040,N,01131.002,E,0.4,12.0,080327,,,A'),
           '$GPRMC,120002.00,A,4807.041,N,01131.003,E,0.4,12.0,080327,,,A*',
           s('GPGGA,120003.00,4807.042,N,01131.004,E,1,08,0.9,546.0,M,46.9,M,,')])
    write('sbas_prn_in_gsa.nmea',
          ['SBAS satellite 120 in the solution and GPS satellite 12 in view but not',
           'used: 120 must not mark satellite 12 as used.'],
          [s('GPGSA,A,3,05,120,21,29,,,,,,,,,1.9,1.0,1.6')] +
          gsv_lines('GP', [(5, 45, 60, 44), (12, 20, 300, 35), (21, 66, 190, 47),
                           (29, 30, 110, 40), (120, 30, 200, 39)]))
    write('gsv_without_message_number.nmea',
          ['GSV sentences with the message number missing or 0 after a good cycle:',
           'they are counted but change nothing in the satellite table.'],
          gsv_lines('GP', [(1, 10, 100, 30), (2, 20, 200, 31), (3, 30, 300, 32)]) +
          [s('GPGSV,1,,03,07,40,50,44,08,50,60,45,09,60,70,46'),
           s('GPGSV,1,0,03,07,40,50,44,08,50,60,45,09,60,70,46')])
    write('short_time_and_date.nmea',
          ['Time and date fields shorter than six characters: missing positions read',
           'as absent (hour 12, minute 0, second 0; day 8, month 3, year 2000).'],
          [s('GPGGA,12,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,'),
           s('GPRMC,1234,A,4807.038,N,01131.000,E,0.4,12.0,0803,,,A'),
           s('GPZDA,7,08,03,2027,00,00')])


if __name__ == '__main__':
    sirf_cold_start()
    vehicle_rmb()
    southwest()
    line_endings()
    gnss_talkers()
    faults()
