#!/usr/bin/env bash
# Sets up what is missing, builds, then starts the game from its run folder.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh build
cd build/run
exec ./zq2
