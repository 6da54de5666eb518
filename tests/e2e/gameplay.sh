#!/usr/bin/env bash
# One game in the real window: Space on the title starts it, the ship is held right while Space
# is tapped, "GAME OVER" follows when COUNT runs out, then the ranking screen; Esc quits and the
# score file holds a table that took the game's score in order.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/e2e_common.sh"
run="$build/run"
[ -x "$run/zq2" ] && [ -d "$run/bmp" ] && [ -d "$run/wav" ] || e2e_fail "no zq2 with bmp/ and wav/ in $run"

shots="$build/e2e-shots"
mkdir -p "$shots"
work=$(e2e_game_folder "$run" game)
table="3000 2000 1000 500 300 200 100 0"
# shellcheck disable=SC2086
e2e_write_scores "$work/ZQ2_sco.dat" $table

# Pixels of roughly the given colour (ImageMagick name) inside the rectangle.
coloured() { convert "$1" -crop "$2" +repage -fuzz 25% -fill white -opaque "$3" -fill black +opaque white -colorspace gray -format '%[fx:round(mean*w*h)]' info:; }

# A screenshot that cannot hang on a window that went away, and that notices a game that ended.
snap() {  # FILE
  if ! kill -0 "$game" 2>/dev/null; then
    local status=0
    wait "$game" || status=$?
    e2e_fail "zq2 ended by itself (status $status)"
  fi
  timeout 20 import -window "$window" "$1" || e2e_fail "no screenshot of the window"
}

e2e_start_xvfb
export SDL_AUDIODRIVER=dummy
cd "$work"
e2e_start_windowed "$run"
game=$E2E_GAME
window=$E2E_WINDOW

sleep 1
snap "$shots/gameplay_title.png"
expect_lit "$shots/gameplay_title.png" 250x16+75+215 300 "HIT SPACEBAR TO START"

e2e_key "$window" space
sleep 0.5
xdotool keydown Right
play="$shots/gameplay_play.png"
# Tap Space a few times, then look: the ship sits at the right edge, the enemies patrol.
for i in $(seq 12); do xdotool key --delay 60 space; sleep 0.15; done
snap "$play"
expect_lit "$play" 40x16+220+2 30 "a four-digit COUNT"
expect_lit "$play" 60x60+345+215 300 "ship at the right edge"
[ "$(lit "$play" 60x60+170+215)" -le 400 ] || e2e_fail "the ship is still at its start"
expect_lit "$play" 400x200+0+0 1500 "enemies in the upper half"

# Keep firing until COUNT shows a single digit: the ship has gone and "GAME OVER" shows.
over="$shots/gameplay_over.png"
deadline=$((SECONDS + 90))
shot=0
while :; do
  [ $SECONDS -le $deadline ] || e2e_fail "no GAME OVER within 90 s"
  snap "$E2E_OUT/now.png"
  # A death lasts 16 frames, so a tap right after this look can never skip "GAME OVER".
  [ "$(lit "$E2E_OUT/now.png" 40x16+232+2)" -le 12 ] && break
  xdotool key --delay 40 space
  if [ $shot -eq 0 ] && [ "$(coloured "$E2E_OUT/now.png" 400x230+0+0 red)" -ge 60 ]; then
    cp "$E2E_OUT/now.png" "$shots/gameplay_bullets.png"
    shot=1
  fi
  sleep 0.2
done
xdotool keyup Right
# Frames run slower than 37 ms on a busy machine, so each screen is awaited, not timed.
await() {  # FILE WHAT TEST: screenshots until TEST FILE succeeds, at most 20 s
  local until=$((SECONDS + 20))
  while :; do
    snap "$1"
    "$3" "$1" && return 0
    [ $SECONDS -le $until ] || e2e_fail "$2 did not show"
    sleep 0.3
  done
}
# The words, and no ship or explosion any more: the death's frames also show the enemies.
game_over_shown() { [ "$(lit "$1" 108x16+147+150)" -ge 250 ] && [ "$(lit "$1" 60x60+345+215)" -le 60 ]; }
ranking_shown() { [ "$(lit "$1" 75x17+163+40)" -ge 60 ]; }

await "$over" "GAME OVER" game_over_shown
expect_dark "$over" 8x16+199+150 "the gap between GAME and OVER"

# At most 101 frames of game over, then the ranking screen with its firework.
ranking="$shots/gameplay_ranking.png"
await "$ranking" "the ranking screen" ranking_shown
expect_lit "$ranking" 36x16+120+75 40 "1ST"
expect_lit "$ranking" 36x16+120+231 40 "7TH"

e2e_key "$window" Escape
e2e_wait_exit "$game" 10 || e2e_fail "zq2 did not end after Esc"
read -r -a saved <<<"$(od -An -t d4 --endian=little -v ZQ2_sco.dat | xargs)"
[ "${#saved[@]}" -eq 8 ] || e2e_fail "score file holds ${#saved[@]} entries"
[ "${saved[7]}" -eq 3000 ] || e2e_fail "entry 7 is ${saved[7]}, not the best score at the start"
for i in 0 1 2 3 4 5; do
  [ "${saved[$i]}" -ge "${saved[$((i + 1))]}" ] || e2e_fail "table out of order: ${saved[*]}"
done
echo "gameplay: ok (table ${saved[*]})"
