#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, the decoder and the
# serial layer under AddressSanitizer+UBSan and ThreadSanitizer, and a short fuzz run.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
qv_need_packages "${QV_BUILD_PACKAGES[@]}" "${QV_TEST_PACKAGES[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Tests must not depend on the caller's locale; the GUI tests set their own where they check it.
export LC_ALL=C.UTF-8

echo "== Build and test"
cmake -S . -B build -G Ninja -DQV_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_WITH_APP=OFF -DQV_WITH_BENCH=OFF \
  -DQV_SANITIZE=address >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== ThreadSanitizer (serial layer)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_WITH_APP=OFF -DQV_WITH_BENCH=OFF \
  -DQV_SANITIZE=thread >/dev/null
cmake --build build-tsan -j"$jobs"
ctest --test-dir build-tsan --output-on-failure -L serial

if [ -f fuzz/CMakeLists.txt ]; then
  echo "== Fuzzing (bounded)"
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQV_WITH_APP=OFF -DQV_WITH_BENCH=OFF -DQV_WITH_FUZZ=ON >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzz_targets
  # QV_FUZZ_SECONDS is the whole run's budget, shared by the targets. Inputs of
  # up to 512 bytes hold several sentences and one longer than the decoder's
  # buffer, and run twice as fast as the recordings the corpus starts from.
  targets=(build-fuzz/bin/fuzz_*)
  seconds=$(( ${QV_FUZZ_SECONDS:-30} / ${#targets[@]} ))
  [ "$seconds" -ge 1 ] || seconds=1
  for f in "${targets[@]}"; do
    name=$(basename "$f")
    corpus=$(mktemp -d)
    [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
    "$f" -max_total_time="$seconds" -max_len=512 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
    rm -rf "$corpus"
  done
fi
echo "== All tests passed"
