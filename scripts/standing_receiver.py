#!/usr/bin/env python3
"""Writes a recording of a receiver standing still on a surveyed point, as a
one-hour accuracy test records it: GGA at 5 Hz and RMC, GSA and GSV once a
second, the fixes wandering around the point as real ones do (a slow drift of
a metre or two, a few decimetres of jitter, now and then a multipath excursion).

    scripts/standing_receiver.py [--minutes N] [--seed N] [--tail-minutes N] > standing.nmea

--tail-minutes adds time messages (ZDA) alone after the last fix, so that a
player of the file keeps the line open for a while after it.
"""
import argparse
import math
import random

LAT, LON, ALT = 51.4779, -0.0015, 46.0  # the surveyed point
RATE = 5  # fixes per second


def sentence(body):
    x = 0
    for c in body.encode():
        x ^= c
    return "$%s*%02X" % (body, x)


def angle(value, positive, negative, degree_digits):
    hemisphere = positive if value >= 0 else negative
    value = abs(value)
    degrees = int(value)
    return "%0*d%011.8f,%s" % (degree_digits, degrees, (value - degrees) * 60.0, hemisphere)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--minutes", type=float, default=20)
    parser.add_argument("--seed", type=int, default=3)
    parser.add_argument("--tail-minutes", type=float, default=0)
    args = parser.parse_args()
    rnd = random.Random(args.seed)
    metres_per_deg_lat = 111_262.0
    metres_per_deg_lon = metres_per_deg_lat * math.cos(math.radians(LAT))
    sats = [(prn, rnd.randint(10, 80), rnd.randint(0, 359), rnd.randint(28, 48)) for prn in
            (2, 5, 7, 9, 13, 15, 18, 20, 24, 27, 29, 30)]
    east = north = up = 0.0
    excursion = 0
    print("# A receiver standing still on a surveyed point (synthetic, scripts/standing_receiver.py)")
    for k in range(int(args.minutes * 60 * RATE)):
        t = 12 * 3600 + k / RATE
        # First-order Gauss-Markov drift (a minute's correlation) with white jitter.
        a = math.exp(-1.0 / (60 * RATE))
        east = a * east + math.sqrt(1 - a * a) * rnd.gauss(0, 1.2)
        north = a * north + math.sqrt(1 - a * a) * rnd.gauss(0, 1.0)
        up = a * up + math.sqrt(1 - a * a) * rnd.gauss(0, 2.5)
        if excursion == 0 and rnd.random() < 1.0 / (300 * RATE):
            excursion = 20 * RATE
        kick = 4.0 * math.sin(math.pi * excursion / (20 * RATE)) if excursion else 0.0
        excursion = max(0, excursion - 1)
        e = east + rnd.gauss(0, 0.3) + kick
        n = north + rnd.gauss(0, 0.3) + 0.5 * kick
        hh, mm, ss = int(t // 3600), int(t // 60 % 60), t % 60
        time = "%02d%02d%05.2f" % (hh, mm, ss)
        lat = LAT + n / metres_per_deg_lat
        lon = LON + e / metres_per_deg_lon
        print(sentence("GPGGA,%s,%s,%s,1,%02d,%.1f,%.1f,M,47.0,M,," % (
            time, angle(lat, "N", "S", 2), angle(lon, "E", "W", 3), len(sats), 0.8 + 0.1 * rnd.random(),
            ALT + up + rnd.gauss(0, 0.5))))
        if k % RATE == 0:
            print(sentence("GPRMC,%s,A,%s,%s,0.0,0.0,091226,,,A" % (time, angle(lat, "N", "S", 2),
                                                                  angle(lon, "E", "W", 3))))
            print(sentence("GPGSA,A,3,%s,1.6,0.9,1.3" % ",".join("%02d" % s[0] for s in sats)))
            for i in range(0, len(sats), 4):
                group = ",".join("%02d,%02d,%03d,%02d" % (prn, el, az, max(0, snr + rnd.randint(-2, 2)))
                                 for prn, el, az, snr in sats[i:i + 4])
                print(sentence("GPGSV,%d,%d,%02d,%s" % ((len(sats) + 3) // 4, i // 4 + 1, len(sats), group)))
    end = 12 * 3600 + int(args.minutes * 60)
    for t in range(end, end + int(args.tail_minutes * 60)):
        print(sentence("GPZDA,%02d%02d%02d.00,09,12,2026,00,00" % (t // 3600 % 24, t // 60 % 60, t % 60)))


if __name__ == "__main__":
    main()
