#!/usr/bin/env bash
# Sets up what is missing, builds, then runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh build
(cd build && ctest --output-on-failure -j"$(nproc)")
