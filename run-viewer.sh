#!/usr/bin/env bash
# Builds the viewer (first run: everything, which takes a few minutes) and starts it.
#   ./run-viewer.sh [viewer options]   passes the options on (--gnss, --port, ...)
#   ./run-viewer.sh --demo   also starts quorvane-sim, a virtual receiver, fills
#                            its port and baud rate into the viewer's boxes, and
#                            stops it again when the viewer exits.
set -euo pipefail
cd "$(dirname "$0")"

demo=0
viewer_args=()
for arg in "$@"; do
  case "$arg" in
    --demo) demo=1 ;;
    -h | --help)
      echo "Usage: $0 [--demo] [viewer options, e.g. --gnss]"
      echo "Builds and starts Quorvane Viewer; --demo adds a virtual receiver to connect to."
      echo "Other options go to the viewer (build/bin/quorvane-viewer --help lists them)."
      exit 0 ;;
    *) viewer_args+=("$arg") ;;
  esac
done

. scripts/deps.sh
qv_need_packages "${QV_BUILD_PACKAGES[@]}"
if [ ! -x build/bin/quorvane-viewer ]; then
  echo "== Building Quorvane Viewer (the first build takes a few minutes)"
fi
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)"

if [ "$demo" -eq 0 ]; then
  exec build/bin/quorvane-viewer "${viewer_args[@]}"
fi

# A receiver on the Pont de l'Alma heading east along the Seine. It starts its
# search for satellites when the viewer connects, so the fix arrives in the
# window 15 seconds later and the time to first fix stops there; its reports
# (cold starts among them) go to this terminal.
demo_baud=9600
sim_out=$(mktemp)
build/bin/quorvane-sim --lat 48.8640 --lon 2.3010 --speed 25 --course 80 --turn 0.5 \
  --acquire 15 --baud "$demo_baud" --wait-open >"$sim_out" &
sim_pid=$!
stop_sim() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  rm -f "$sim_out"
}
trap stop_sim EXIT

port=""
for _ in $(seq 100); do
  port=$(head -n 1 "$sim_out")
  [ -n "$port" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "$0: quorvane-sim did not start" >&2
  exit 1
fi

echo "== Virtual receiver running on $port at $demo_baud baud (filled in for you)."
echo "   Press GPS in the viewer: the fix comes about 15 seconds later."
build/bin/quorvane-viewer --port "$port" --baud "$demo_baud" "${viewer_args[@]}"
