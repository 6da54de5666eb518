#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each on its seed corpus for a bounded time:
# scripts/fuzz.sh [SECONDS_EACH]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
if [ ! -f build-fuzz/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZQ_FUZZ=ON \
    -DZQ_SANITIZE=address,undefined -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build build-fuzz --target fuzz_targets -j"$(nproc)"
for exe in build-fuzz/tests/fuzz/fuzz_*; do
  name=$(basename "$exe"); name=${name#fuzz_}
  corpus=tests/fuzz/corpus/$name
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "fuzzing $name for ${seconds}s"
  "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 "$work" 2>&1 | tail -n 3
  rm -rf "$work"
done
