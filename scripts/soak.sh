#!/usr/bin/env bash
# Soak run: the real game under Xvfb for MINUTES (default 30), alternating attract mode with
# scripted games; reports frames drawn, the longest frame interval, resident memory at start and
# end, and whether the score file is intact.   scripts/soak.sh [MINUTES] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
minutes=${1:-30}
build=${2:-build}
cmake --build "$build" --target zq2_soak assets -j"$(nproc)" >/dev/null
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
display=:$((60 + RANDOM % 30))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

ln -s "$root/$build/run/bmp" "$work/bmp"
ln -s "$root/$build/run/wav" "$work/wav"
(cd "$work" && exec "$root/$build/run/zq2_soak" >"$work/stats.txt" 2>"$work/errors.txt") &
game_pid=$!

press() { xdotool mousemove 512 384 sleep 0.1 key "$1"; }
hold() { xdotool mousemove 512 384 keydown "$1" sleep "$2" keyup "$1"; }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$game_pid/status"; }

sleep 3
press Escape   # the first-run score message
sleep 1
press n        # window mode
sleep 5
rss_start=$(rss_kb)
end=$(( $(date +%s) + minutes * 60 ))
games=0
while [ "$(date +%s)" -lt "$end" ]; do
  sleep 20                      # attract mode: title and ranking
  hold space 0.3                # start a game
  for _ in $(seq 12); do        # about a minute of play: move, fire, move back
    hold Right 1.2
    hold space 0.2
    hold Left 1.6
    hold z 0.2
    hold Left 0.8
    hold Right 0.6
  done
  games=$((games + 1))
  sleep 12                      # game over and the ranking screen
done
rss_end=$(rss_kb)
press Escape
for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
wait "$game_pid" || true
game_pid=""

echo "soak: $minutes minutes, $games scripted games"
cat "$work/stats.txt"
echo "resident memory kB: start $rss_start, end $rss_end, growth $((rss_end - rss_start))"
scores=$work/ZQ2_sco.dat
if [ "$(stat -c %s "$scores" 2>/dev/null || echo 0)" -eq 32 ]; then
  read -r -a table <<<"$(od -An -t d4 -v "$scores" | tr -s ' \n' ' ')"
  sorted=yes
  for i in 0 1 2 3 4 5; do [ "${table[$i]}" -ge "${table[$((i + 1))]}" ] || sorted=no; done
  echo "score file: 32 bytes, table ${table[*]:0:7}, best first: $sorted"
else
  echo "score file: missing or not 32 bytes"
  exit 1
fi
