#!/usr/bin/env bash
# Builds the viewer (first run: everything, which takes a few minutes) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
qv_need_packages "${QV_BUILD_PACKAGES[@]}"
if [ ! -x build/bin/quorvane-viewer ]; then
  echo "== Building Quorvane Viewer (the first build takes a few minutes)"
fi
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)"
exec build/bin/quorvane-viewer "$@"
