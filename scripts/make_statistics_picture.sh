#!/usr/bin/env bash
# Makes docs/statistics.png, the README's picture of the statistics window:
# quorvane-sim plays a recording of a receiver standing still (made by
# scripts/standing_receiver.py) on a pseudo-terminal, 100 times faster than
# recorded, the viewer connects to it with the statistics window open, all on
# a virtual display of this script's own, and the window is photographed when
# the recording has ended. Settings go to a scratch folder, not the user's.
#   scripts/make_statistics_picture.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/statistics.png}

. scripts/deps.sh
qv_need_packages "${QV_BUILD_PACKAGES[@]}" "${QV_PICTURE_PACKAGES[@]}"
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target quorvane-viewer quorvane-sim >/dev/null

dir=$(mktemp -d)
sim_pid="" viewer_pid="" server=""
cleanup() {
  for pid in $viewer_pid $sim_pid $server; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT

scripts/standing_receiver.py --minutes 20 --tail-minutes 30 >"$dir/standing.nmea"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$dir/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$dir/display") QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$dir/config"

# 20 minutes at 5 fixes a second take 12 s at --pace 100; the line speed
# must carry some 70 kB/s for that.
baud=921600
build/bin/quorvane-sim --play "$dir/standing.nmea" --pace 100 --baud "$baud" --wait-open \
  --transcript "$dir/sent.nmea" >"$dir/sim" 2>"$dir/sim.err" &
sim_pid=$!
port=""
for _ in $(seq 100); do
  port=$(head -n 1 "$dir/sim" 2>/dev/null || true)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "$0: quorvane-sim did not start" >&2; exit 1; }

build/bin/quorvane-viewer --port "$port" --baud "$baud" --connect --stats --log-dir "$dir/logs" >/dev/null 2>&1 &
viewer_pid=$!

# The fixes have all been sent once the time messages of the tail begin; the
# line stays open through the tail (18 s), so the viewer shows no hang-up, and
# the window refreshes once a second meanwhile.
for _ in $(seq 1200); do grep -q GPZDA "$dir/sent.nmea" 2>/dev/null && break; sleep 0.1; done
sleep 2.5

window=$(xwininfo -root -children | awk '/"Statistics"/ {print $1; exit}')
[ -n "$window" ] || { echo "$0: the statistics window did not open" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "$out"
