#!/usr/bin/env bash
# A known score table: the title screen with its HUD in place, then the ranking screen of the
# attract cycle; the table is saved back unchanged.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/e2e_common.sh"
run="$build/run"
[ -x "$run/zq2" ] && [ -d "$run/bmp" ] && [ -d "$run/wav" ] || e2e_fail "no zq2 with bmp/ and wav/ in $run"

shots="$build/e2e-shots"
mkdir -p "$shots"
work=$(e2e_game_folder "$run" game)
table="12345 9000 5000 4000 300 20 1 777"
# shellcheck disable=SC2086
e2e_write_scores "$work/ZQ2_sco.dat" $table


e2e_start_xvfb
export SDL_AUDIODRIVER=dummy
cd "$work"
e2e_start_windowed "$run"
game=$E2E_GAME
window=$E2E_WINDOW

sleep 1.5
title="$shots/title_hud.png"
e2e_screenshot "$title" "$window"
expect_lit "$title" 60x16+150+2 60 "COUNT"
expect_lit "$title" 10x16+220+2 10 "count value 0"
expect_dark "$title" 40x16+232+2 "after the one-digit count"
expect_lit "$title" 75x17+20+281 60 "Score label"
expect_lit "$title" 75x17+220+281 60 "Hi-Score label"
expect_lit "$title" 10x16+85+281 10 "score 0"
expect_lit "$title" 50x16+315+281 60 "hi-score 12345"
expect_lit "$title" 230x109+85+62 800 "title logo"
expect_lit "$title" 250x16+75+215 300 "HIT SPACEBAR TO START"
expect_lit "$title" 130x16+135+240 150 "ESC TO EXIT"

# 151 title frames of 37 ms, then the ranking screen.
sleep 5.5
ranking="$shots/ranking.png"
e2e_screenshot "$ranking" "$window"
expect_lit "$ranking" 75x17+163+40 60 "Ranking heading"
expect_lit "$ranking" 36x16+120+75 40 "1ST"
expect_lit "$ranking" 64x16+222+75 80 "12345 at x 222"
expect_lit "$ranking" 40x16+210+179 20 "row 5 value 20 at x 210"

e2e_key "$window" Escape
e2e_wait_exit "$game" 10 || e2e_fail "zq2 did not end after Esc"
actual=$(od -An -t d4 --endian=little -v ZQ2_sco.dat | xargs)
[ "$actual" = "$table" ] || e2e_fail "score file holds '$actual', not '$table'"
echo "title_hud: ok"
