#!/bin/sh
# quorvane-decode --gpx/--kml read back: the GPX validates against the GPX 1.1
# schema (xmllint), and gpsbabel reads as many points from either file as
# quorvane-stats counts samples. Usage: DECODE STATS SCHEMA DATA_DIR; exit 77
# (skipped) without xmllint or gpsbabel.
set -u
decode=$1 stats=$2 schema=$3 data=$4
for tool in xmllint gpsbabel; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (Debian: libxml2-utils, gpsbabel)"
    exit 77
  fi
done
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # MODE RECORDING
  mode=$1 file=$data/$2
  samples=$("$stats" $mode "$file" | sed -n 's/.*"Samples":\([0-9]*\).*/\1/p')
  "$decode" $mode --gpx "$file" >"$work/t.gpx" || { echo "FAIL $2 $mode: --gpx exited $?"; failed=1; return; }
  "$decode" $mode --kml "$file" >"$work/t.kml" || { echo "FAIL $2 $mode: --kml exited $?"; failed=1; return; }
  if ! xmllint --noout --schema "$schema" "$work/t.gpx"; then
    echo "FAIL $2 $mode: the GPX does not validate"; failed=1
  fi
  # unicsv writes a header line, then one line per point.
  gpx=$(gpsbabel -t -i gpx -f "$work/t.gpx" -o unicsv -F - | tail -n +2 | wc -l)
  kml=$(gpsbabel -t -i kml -f "$work/t.kml" -o unicsv -F - | tail -n +2 | wc -l)
  echo "$2 $mode: $samples samples, gpsbabel reads $gpx from the GPX and $kml from the KML"
  if [ -z "$samples" ] || [ "$samples" -eq 0 ] || [ "$gpx" -ne "$samples" ] || [ "$kml" -ne "$samples" ]; then
    echo "FAIL $2 $mode: point counts differ"; failed=1
  fi
}
check "" vehicle_rmb.nmea
check "" southwest.nmea
check "" replay_3d_fix.txt
check --gnss gnss/ublox_m8_nmea410.nmea
check --gnss gnss_talkers.nmea
# No fix at all: still a valid document, with no points.
"$decode" --gpx "$data/gsv_without_message_number.nmea" >"$work/empty.gpx" &&
  xmllint --noout --schema "$schema" "$work/empty.gpx" || { echo "FAIL: a track without points"; failed=1; }
exit $failed
