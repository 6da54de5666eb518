#!/usr/bin/env bash
# Installs the library into a temporary prefix and builds the example against it twice: with
# find_package(Vantrel) and with pkg-config; the CMake-built program then plays a short song.
set -euo pipefail
build=$1
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$src/examples/playmidi" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
PKG_CONFIG_PATH=$work/prefix/lib/pkgconfig
export PKG_CONFIG_PATH
# shellcheck disable=SC2046
g++ -std=c++20 "$src/examples/playmidi/main.cpp" -o "$work/playmidi-pc" $(pkg-config --cflags --libs vantrel)
# A one-second song: the program must end by itself, and a broken file must be refused.
cp "$build/run/wav/bgm.mid" "$work/bgm.mid"
printf 'MThd\0\0\0\6\0\0\0\1\0\140MTrk\0\0\0\14\0\220\074\100\140\200\074\0\0\377\057\0' >"$work/short.mid"
SDL_AUDIODRIVER=dummy timeout 30 "$work/cmake-build/playmidi" "$work/short.mid"
printf 'not a midi file' >"$work/bad.mid"
if SDL_AUDIODRIVER=dummy "$work/playmidi-pc" "$work/bad.mid" 2>"$work/err.txt"; then
  echo "a broken file was accepted" >&2; exit 1
fi
grep -q 'TVantrelMidi エラー' "$work/err.txt" || { echo "no library message for a broken file" >&2; cat "$work/err.txt" >&2; exit 1; }
echo "library package e2e: 1 passed, 0 failed"
