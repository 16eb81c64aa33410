#!/usr/bin/env python3
"""Writes the GNSS-mode recordings in this folder with true checksums.

Each receiver family's output is written as its published message set and
sentence layout; the recordings whose header begins "Generated" each show one
rule of GNSS mode, named in that header. Run it from anywhere; it rewrites
the *.nmea files beside it.
Afterwards run the build's regen-expected target (it decodes this folder with
--gnss) and review the change of every .json file.
"""
import os
import textwrap

HERE = os.path.dirname(os.path.abspath(__file__))


def s(body):
    x = 0
    for b in body.encode('ascii'):
        x ^= b
    return '$%s*%02X' % (body, x)


def hms(t):
    return '%02d%02d%02d' % (t // 3600 % 24, t // 60 % 60, t % 60)


def write(name, header, lines):
    with open(os.path.join(HERE, name), 'wb') as f:
        for h in header:
            f.write(('# ' + h + '\n').encode('ascii'))
        for line in lines:
            f.write((line + '\r\n').encode('ascii'))


def num(n):
    return '%02d' % n if n < 100 else '%d' % n


def gsv(talker, sats, signal=None, per_message=4):
    """sats: (number, elevation, azimuth, snr); None for an empty field.
    signal: the NMEA 4.10 signal ID appended to every message, or None."""
    total = max(1, (len(sats) + per_message - 1) // per_message)
    out = []
    for n in range(total):
        fields = [str(total), str(n + 1), '%02d' % len(sats)]
        for prn, el, az, snr in sats[per_message * n:per_message * (n + 1)]:
            fields += [num(prn), '' if el is None else '%02d' % el,
                       '' if az is None else '%03d' % az, '' if snr is None else '%02d' % snr]
        if signal is not None:
            fields.append(signal)
        out.append(s(talker + 'GSV,' + ','.join(fields)))
    return out


def gsa(talker, fix, used, dops, system_id=None):
    prns = [num(p) for p in used] + [''] * (12 - len(used))
    tail = [] if system_id is None else [system_id]
    return s(talker + 'GSA,' + ','.join(['A', str(fix)] + prns + list(dops) + tail))


def ublox_m8():
    # GPS with QZSS and SBAS in the GP talker (SBAS in NMEA numbering 33-64),
    # GLONASS, Galileo. Signal IDs: GPS/QZSS L1C/A 1, GLONASS L1OF 1, Galileo E1 7.
    gps = [(2, 21, 43, 38), (5, 65, 283, 47), (7, 34, 165, 44), (13, 51, 72, 45),
           (15, 9, 13, 29), (18, 11, 319, None), (20, 47, 256, 43), (29, 27, 219, 40),
           (30, 38, 117, 42), (36, 33, 156, 39), (49, 31, 158, 36), (193, 8, 71, None)]
    glo = [(65, 40, 98, 41), (71, 23, 22, 35), (72, 71, 303, 45), (73, 27, 258, 39),
           (74, 5, 340, None), (80, 28, 101, 40)]
    gal = [(3, 55, 291, 43), (5, 32, 53, 40), (9, 18, 124, 37), (24, 62, 206, 44),
           (31, 12, 330, 33)]
    dops = ('1.21', '0.68', '1.00')
    lines = [s('GNTXT,01,01,02,u-blox AG - www.u-blox.com'),
             s('GNTXT,01,01,02,HW UBX-M8030 00080000'),
             s('GNTXT,01,01,02,PROTVER=18.00'),
             s('GNTXT,01,01,02,GPS;GLO;GAL;SBAS;QZSS')]
    t0 = 9 * 3600 + 41 * 60 + 12
    for k in range(4):
        t = hms(t0 + k)
        lat = '4717.1%04d' % (1437 + k)
        lines += [s('GNRMC,%s.00,A,%s,N,00833.91522,E,0.011,,150427,,,A,V' % (t, lat)),
                  s('GNVTG,,T,,M,0.011,N,0.020,K,A'),
                  s('GNGGA,%s.00,%s,N,00833.91522,E,1,12,0.68,541.%d,M,47.6,M,,' % (t, lat, k)),
                  gsa('GN', 3, [5, 7, 13, 20, 29, 30, 2, 36, 49], dops, '1'),
                  gsa('GN', 3, [65, 72, 73, 80, 71], dops, '2'),
                  gsa('GN', 3, [3, 24, 5, 9], dops, '3')]
        # GPS 15 sets after the second second; Galileo 31 rises in the third.
        lines += gsv('GP', gps if k < 2 else [g for g in gps if g[0] != 15], '1')
        lines += gsv('GL', glo, '1')
        lines += gsv('GA', gal if k >= 2 else gal[:4], '7')
        lines.append(s('GNGLL,%s,N,00833.91522,E,%s.00,A,A' % (lat, t)))
    write('ublox_m8_nmea410.nmea',
          ['A u-blox NEO-M8N (protocol 18, NMEA 4.10 selected) near Thalwil, 1 Hz:',
           'GN RMC (with navigation status), VTG, GGA, one GNGSA per system with its',
           'system ID (1 GPS, 2 GLONASS, 3 Galileo), GPGSV with GPS, SBAS as 36 and 49',
           'and QZSS as 193, GLGSV, GAGSV, each GSV message ending in its signal ID,',
           'then GLL. GPS 15 sets after two epochs, Galileo 31 rises in the third.',
           'The last GPGSV message of each cycle carries one satellite and the signal',
           'ID. CR LF line ends.'], lines)


def ublox_m10():
    # NMEA 4.11: QZSS in its own GQ talker numbered 1-10 and GSA system ID 5.
    gps = [(4, 12, 315, 33), (8, 59, 32, 46), (10, 44, 101, 44), (16, 23, 172, 40),
           (26, 37, 268, 43), (27, 62, 201, 47), (42, 48, 200, 41)]
    gal = [(2, 26, 65, 38), (8, 39, 289, 42), (13, 71, 134, 45), (15, 17, 227, None),
           (30, 52, 312, 43)]
    bds = [(1, 47, 139, 39), (3, 53, 190, 40), (7, 80, 277, 42), (10, 62, 219, 41),
           (25, 34, 45, 37), (32, 24, 311, 35), (40, 58, 165, 43), (59, 45, 207, 38)]
    qzss = [(2, 66, 172, 44), (3, 71, 220, 45), (4, 22, 197, 38), (7, 51, 193, 42)]
    dops = ('0.98', '0.52', '0.83')
    lines = []
    t0 = 3 * 3600 + 5 * 60 + 58
    for k in range(3):
        t = hms(t0 + k)
        lines += [s('GNRMC,%s.00,A,3540.8163%d,N,13945.56092,E,0.021,,220527,,,A,V' % (t, k)),
                  s('GNVTG,,T,,M,0.021,N,0.039,K,A'),
                  s('GNGNS,%s.00,3540.8163%d,N,13945.56092,E,ANAAA,24,0.52,41.%d,39.4,,,V'
                    % (t, k, k)),
                  gsa('GN', 3, [8, 10, 16, 26, 27, 4, 42], dops, '1'),
                  gsa('GN', 3, [8, 13, 30, 2], dops, '3'),
                  gsa('GN', 3, [1, 3, 7, 10, 25, 40, 59, 32], dops, '4'),
                  gsa('GN', 3, [2, 3, 7] if k == 0 else [2, 3, 7, 4], dops, '5')]
        lines += gsv('GP', gps, '1') + gsv('GA', gal, '7') + gsv('GB', bds, '1')
        lines += gsv('GQ', qzss, '1')
        lines.append(s('GNGLL,3540.8163%d,N,13945.56092,E,%s.00,A,A' % (k, t)))
        lines.append(s('GNZDA,%s.00,22,05,2027,00,00' % t))
    write('ublox_m10_nmea411.nmea',
          ['A u-blox MAX-M10S (NMEA 4.11, its default) in Tokyo, GPS, Galileo, BeiDou',
           'B1I, QZSS and SBAS, configured to send GNS instead of GGA and to add ZDA:',
           'GN RMC, VTG, GNS (mode letters per system), one GNGSA per system with its',
           'system ID (1 GPS, 3 Galileo, 4 BeiDou, 5 QZSS), GPGSV with MSAS PRN 129',
           'as 42, GAGSV, GBGSV, GQGSV with QZSS numbered 1-10, signal IDs (GPS, QZSS',
           'L1C/A 1, Galileo E1 7, BeiDou B1I 1), GLL, ZDA. QZSS 4 joins the solution',
           'from the second epoch. CR LF line ends.'], lines)


def quectel_l76():
    # MediaTek MT3333: two GNGSA per epoch (GPS then GLONASS), no system IDs.
    gps = [(1, 52, 42, 38), (3, 63, 239, 41), (11, 18, 306, 30), (14, 39, 167, 40),
           (17, 31, 75, None), (19, 25, 112, 34), (22, 70, 356, 43), (28, 9, 186, None),
           (31, 12, 262, 27), (32, 15, 44, 29)]
    glo = [(66, 22, 48, 31), (75, 44, 189, 37), (76, 73, 301, 42), (77, 21, 330, 33),
           (85, 34, 93, 35)]
    lines = [s('PMTK011,MTKGPS'), s('PMTK010,002'),
             s('PQTMVERNO,L76LNR02A04S,2021/03/10,18:32:12')]
    t0 = 6 * 3600 + 12 * 60 + 30
    for k in range(4):
        t = hms(t0 + k)
        fix, used_gps, used_glo = (2, [3, 14, 22], [76]) if k < 2 else \
            (3, [1, 3, 14, 19, 22, 32], [75, 76, 85])
        pos = '3110.4%03d,N,12123.2%03d,E' % (693 + k, 807)
        lines += [s('GNRMC,%s.000,A,%s,0.11,83.42,030627,,,A' % (t, pos)),
                  s('GNVTG,83.42,T,,M,0.11,N,0.20,K,A'),
                  s('GNGGA,%s.000,%s,1,%02d,%s,%s,M,9.8,M,,'
                    % (t, pos, len(used_gps) + len(used_glo), '2.41' if k < 2 else '1.02',
                       '' if fix == 2 else '12.%d' % k)),
                  gsa('GN', fix, used_gps, ('2.62', '2.41', '1.00') if k < 2 else
                      ('1.41', '1.02', '0.97')),
                  gsa('GN', fix, used_glo, ('2.62', '2.41', '1.00') if k < 2 else
                      ('1.41', '1.02', '0.97'))]
        lines += gsv('GP', gps) + gsv('GL', glo)
        lines.append(s('GNGLL,%s,%s.000,A,A' % (pos, t)))
    write('quectel_l76_nmea301.nmea',
          ['A Quectel L76-L (MediaTek MT3333, GPS with GLONASS, NMEA 3.01) in Shanghai',
           'at 1 Hz, after its PMTK start-up lines: GN RMC (with mode), VTG, GGA,',
           'two GNGSA without system ID (GPS numbers, then GLONASS 65-96), GPGSV and',
           'GLGSV without signal IDs, GLL. A 2D fix for two epochs, then 3D; empty',
           'SNR for satellites not tracked. CR LF line ends.'], lines)


def casic_beidou():
    # BeiDou in its own BD talker (1-63), GSA per system from GP and BD.
    gps = [(5, 38, 301, 31), (13, 62, 47, 35), (15, 20, 72, 26), (18, 44, 148, 33),
           (23, 11, 196, None), (24, 29, 250, 30)]
    bds = [(1, 46, 146, 38), (2, 36, 232, 34), (3, 53, 191, 37), (4, 33, 121, 33),
           (6, 59, 285, 36), (9, 41, 218, 32), (16, 58, 206, 35), (21, 64, 11, 39),
           (26, 23, 317, None), (38, 49, 199, 33), (39, 70, 171, 36)]
    lines = [s('GPTXT,01,01,02,MA=CASIC'), s('GPTXT,01,01,02,IC=AT6558-5N-32-1C510800'),
             s('GPTXT,01,01,02,SW=URANUS5,V5.3.0.0'), s('GPTXT,01,01,02,TB=2020-03-26,13:25:12')]
    t0 = 2 * 3600 + 33 * 60 + 7
    for k in range(3):
        t = hms(t0 + k)
        pos = '3954.5%04d,N,11623.6%04d,E' % (1826 + k, 4021)
        lines += [s('GNGGA,%s.000,%s,1,14,0.86,48.%d,M,-9.3,M,,' % (t, pos, k)),
                  s('GNGLL,%s,%s.000,A,A' % (pos, t)),
                  gsa('GP', 3, [5, 13, 15, 18, 24], ('1.42', '0.86', '1.13')),
                  gsa('BD', 3, [1, 2, 3, 4, 6, 9, 16, 21, 38] + ([39] if k else []),
                      ('1.42', '0.86', '1.13')),
                  ]
        lines += gsv('GP', gps) + gsv('BD', bds if k else bds[:10])
        lines += [s('GNRMC,%s.000,A,%s,0.00,0.00,080627,,,A' % (t, pos)),
                  s('GNVTG,0.00,T,,M,0.00,N,0.00,K,A'),
                  s('GNZDA,%s.000,08,06,2027,00,00' % t),
                  s('GPTXT,01,01,01,ANTENNA OK')]
    write('casic_atgm336h_bdgsv.nmea',
          ['A ZhongKe Micro ATGM336H-5N (CASIC AT6558, GPS with BeiDou) in Beijing at',
           '1 Hz, after its GPTXT banner: GN GGA and GLL, GPGSA and BDGSA without',
           'system ID, GPGSV, BDGSV with BeiDou numbered 1-63, GN RMC, VTG, ZDA and an',
           'antenna report. BeiDou 39 is first seen in the second epoch, and used',
           'from then on. CR LF line ends.'], lines)


def dual_band():
    # Every satellite once per signal: GPS L1C/A 1 and L2 CL 6, Galileo E1 7
    # and E5b 2, BeiDou B1I 1 and B2I B.
    lines = []
    t0 = 14 * 3600 + 2 * 60 + 45
    for k in range(2):
        t = hms(t0 + k)
        lines += [s('GNRMC,%s.00,A,5155.0%04d,N,00424.8%04d,E,0.008,,010727,,,R,V'
                    % (t, 2210 + k, 1133)),
                  s('GNGGA,%s.00,5155.0%04d,N,00424.8%04d,E,4,24,0.49,-2.1,M,46.1,M,1.0,0131'
                    % (t, 2210 + k, 1133)),
                  gsa('GN', 3, [6, 9, 17, 19, 2], ('0.91', '0.49', '0.77'), '1'),
                  gsa('GN', 3, [4, 11, 36], ('0.91', '0.49', '0.77'), '3'),
                  gsa('GN', 3, [19, 20, 29], ('0.91', '0.49', '0.77'), '4')]
        # GPS 2 (block IIR, no L2C) is heard on L1 only. GPS 17's L2 is the
        # stronger; GPS 19 has no L1 SNR. GPS 9, stronger on L2, drops out of
        # the L2 cycle in the second epoch and keeps its L1 SNR.
        lines += gsv('GP', [(2, 41, 73, 40), (6, 65, 190, 47), (9, 35, 278, 43),
                            (17, 22, 128, 36), (19, 14, 320, None)], '1')
        lines += gsv('GP', [(6, 65, 190, 41), (17, 22, 128, 39), (19, 14, 320, 28)] +
                     ([(9, 35, 278, 46)] if k == 0 else []), '6')
        lines += gsv('GA', [(4, 31, 57, 42), (11, 58, 233, 45), (36, 27, 301, 39)], '7')
        lines += gsv('GA', [(4, 31, 57, 44), (11, 58, 233, 43), (36, 27, 301, 40)], '2')
        lines += gsv('GB', [(19, 44, 96, 38), (20, 69, 252, 41), (29, 18, 60, 33)], '1')
        lines += gsv('GB', [(19, 44, 96, 40), (20, 69, 252, 39), (29, 18, 60, None)], 'B')
    write('dual_band_same_satellite.nmea',
          ['A u-blox ZED-F9P (NMEA 4.10) with an RTK fix in Rotterdam reporting every',
           'satellite once per signal, in one GSV cycle per talker and signal ID: GPS',
           'L1C/A (1) and L2 CL (6), Galileo E1 (7) and E5b (2), BeiDou B1I (1) and',
           'B2I (B). Each satellite is one entry with its strongest SNR; GPS 9 leaves',
           'the L2 cycle in the second epoch and stays on L1. CR LF line ends.'], lines)


def phantom():
    # Cycles whose last message holds 1, 2 and 3 satellites before the signal
    # ID "1": read as a satellite field, that ID would be GPS 1, not in view.
    sats = [(3, 40, 53, 44), (8, 25, 301, 38), (14, 67, 185, 46), (22, 18, 102, 35),
            (27, 52, 238, 43), (31, 3, 12, None), (11, 2, 144, None)]
    lines = []
    for k in range(3):
        t = '1815%02d.00' % (20 + k)
        lines += [s('GPRMC,%s,A,4043.26110,N,07400.35312,W,0.020,,190627,,,A,V' % t),
                  s('GPGGA,%s,4043.26110,N,07400.35312,W,1,05,1.21,12.4,M,-34.2,M,,' % t),
                  gsa('GP', 3, [3, 8, 14, 22, 27], ('2.02', '1.21', '1.62'), '1')]
        lines += gsv('GP', sats[:5 + k], '1')
    write('signal_id_phantom.nmea',
          ['A GPS-only receiver in New York sending NMEA 4.10 at 1 Hz: RMC, GGA, GSA',
           'with system ID 1, and GSV messages ending in the signal ID 1. The last',
           'GSV message of the three cycles holds 1, 2, then 3 satellites (GPS 31 and',
           '11 rise), so the signal ID stands where a further satellite number would',
           'go. GPS 1 is not in view. CR LF line ends.'], lines)


GENERATED = 'Generated by tests/data/gnss/make_gnss_recordings.py, not captured from a receiver.'


def generated(behaviour):
    """The header of a recording made up to show one rule."""
    return [GENERATED] + textwrap.wrap('Shows ' + behaviour + ' CR LF line ends.', 76)


def fix_lines(t, k, used):
    pos = '4807.0%04d,N,01131.0%04d,E' % (1234 + k, 5678)
    return [s('GNRMC,%s.00,A,%s,0.02,,120527,,,A,V' % (hms(t), pos)),
            s('GNGGA,%s.00,%s,1,%02d,0.61,519.%d,M,47.9,M,,' % (hms(t), pos, used, k))]


def epoch_two_gsa_sets():
    # 14 GPS satellites used take two GSA for system 1; the second set of the
    # epoch repeats part of the first. The union is 16, as GGA says.
    gps_used = [1, 2, 3, 5, 7, 8, 10, 13, 15, 17, 19, 21, 24, 28]
    gps = [(n, 20 + 3 * i, 20 * i, 30 + i) for i, n in enumerate(gps_used + [6, 30])]
    gal = [(4, 44, 120, 41), (11, 61, 250, 43), (19, 12, 30, None)]
    dops = ('1.02', '0.61', '0.82')
    lines = []
    for k in range(3):
        lines += fix_lines(43200 + k, k, 16)
        lines += [gsa('GN', 3, gps_used[:12], dops, '1'), gsa('GN', 3, gps_used[12:], dops, '1'),
                  gsa('GN', 3, [4, 11], dops, '3'),
                  gsa('GN', 3, gps_used[:8], dops, '1'), gsa('GN', 3, [4], dops, '3')]
        lines += gsv('GP', gps, '1') + gsv('GA', gal, '7')
    write('epoch_two_gsa_sets.nmea', generated(
        'one fix epoch with two sets of GSA: GN RMC and GGA give the '
        'fix time (GGA says 16 used), then GNGSA with system IDs name 14 GPS satellites '
        'over two sentences and 2 Galileo, and a second set names 8 of those GPS and 1 '
        'Galileo. The epoch uses all 16.'), lines)


def stale_signal():
    # GPS L1 C/A (1) and L5-Q (8), Galileo E1 (7) and E5a (1). The L5/E5a band
    # goes silent after the second epoch: its GSV sequences stop.
    l1 = [(5, 60, 100, 44), (13, 35, 200, 40), (20, 20, 300, 36)]
    l5 = [(5, 60, 100, 47), (13, 35, 200, 38), (30, 15, 45, 33)]
    e1 = [(2, 50, 80, 42), (9, 25, 160, 39)]
    e5a = [(2, 50, 80, 45), (36, 10, 260, 31)]
    dops = ('1.60', '0.92', '1.31')
    lines = []
    for k in range(5):
        lines += fix_lines(50000 + k, k, 5)
        lines += [gsa('GN', 3, [5, 13, 20], dops, '1'), gsa('GN', 3, [2, 9], dops, '3')]
        lines += gsv('GP', l1, '1') + gsv('GA', e1, '7')
        if k < 2:
            lines += gsv('GP', l5, '8') + gsv('GA', e5a, '1')
    write('stale_signal_sequence.nmea', generated(
        'a GSV sequence going stale: GN RMC, GGA and GSA with system IDs '
        'at 1 Hz, and GSV for GPS L1 C/A (signal 1) and L5 (8), Galileo E1 (7) and E5a '
        '(1). After the second epoch the L5/E5a band sends no GSV at all; two epochs '
        'later its reports are dropped: GPS 30 and Galileo 36, heard on it alone, leave '
        'the list, and GPS 5 and Galileo 2 show their L1/E1 SNR.'), lines)


def vendor_numbering():
    # Each satellite below is named one way in GSV and another in GSA.
    dops = ('1.25', '0.70', '1.04')
    lines = []
    for k in range(2):
        lines += fix_lines(61200 + k, k, 9)
        lines += [gsa('GN', 3, [3, 8, 14], dops, '1'),
                  gsa('GN', 3, [11, 36], dops, '3'),
                  gsa('GN', 3, [407, 419], dops, '4'),
                  gsa('PQ', 3, [3], dops, '5'), gsa('PQ', 3, [213], dops, '4')]
        lines += gsv('GP', [(3, 40, 60, 41), (8, 55, 170, 44), (14, 22, 290, 37)])
        lines += gsv('GA', [(111, 48, 95, 42), (136, 31, 215, 38)])
        lines += gsv('PQ', [(207, 66, 140, 40), (213, 35, 320, 36), (219, 18, 30, 33)], '4')
        lines += gsv('PQ', [(3, 70, 175, 45)], '5')
        lines += gsv('QZ', [(195, 70, 175, 43), (199, 12, 200, None)])
    write('vendor_talkers_numbering.nmea', generated(
        'the talkers and numberings of several receiver families in one '
        'stream, each satellite named one way in GSV and another in GSA: GAGSV numbers '
        'Galileo 101-136 (Quectel); PQGSV and PQGSA carry BeiDou and QZSS with the '
        'system ID (4, 5) in the last field and BeiDou numbered from 201 (Quectel EC2x); '
        'QZGSV names QZSS 193-202; GNGSA with system ID 4 numbers BeiDou from 401. '
        'Each satellite is one entry: GPS 3, 8, 14, Galileo 11, 36, BeiDou 7, 13, 19, '
        'QZSS 3 (sent as 3 and as 195) and 7; 9 used.'), lines)


if __name__ == '__main__':
    ublox_m8()
    ublox_m10()
    quectel_l76()
    casic_beidou()
    dual_band()
    phantom()
    epoch_two_gsa_sets()
    stale_signal()
    vendor_numbering()
