#!/usr/bin/env bash
# The window's title as an X11 window manager reads it (_NET_WM_NAME): the
# viewer runs on an Xvfb display of this test's own. Exit 77 skips the test.
viewer=$1
for tool in Xvfb xwininfo xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing (packages xvfb, x11-utils)"; exit 77; }
done
dir=$(mktemp -d)
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$dir/display" 2>/dev/null &
server=$!
trap 'kill $viewer_pid $server 2>/dev/null; wait; rm -rf "$dir"' EXIT
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$dir/display") QT_QPA_PLATFORM=xcb
"$viewer" >/dev/null 2>&1 &
viewer_pid=$!
for _ in $(seq 150); do
  # The main window is the one shown at the layout's fixed size.
  window=$(xwininfo -root -children 2>/dev/null | awk '/ 632x475\+/ {print $1}')
  [ -n "$window" ] && title=$(xprop -id "$window" -notype _NET_WM_NAME) && [ "${title#*= }" != "$title" ] && break
  sleep 0.2
done
echo "$title"
[ "$title" = '_NET_WM_NAME = "Quorvane Viewer V0.99.b"' ]
