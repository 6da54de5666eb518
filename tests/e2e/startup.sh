#!/usr/bin/env bash
# First run in an empty folder: the score-file message and the full-screen question answered by
# keyboard, a 400 x 300 window captioned ZQ-2 with a moving star field, Esc, a 32-byte score file.
# Then a folder without sound effects: four messages, and the program ends by itself. Last, Yes
# to the question: the picture fills the 1024 x 768 screen until Esc.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/e2e_common.sh"
run="$build/run"
[ -x "$run/zq2" ] && [ -d "$run/bmp" ] && [ -d "$run/wav" ] || e2e_fail "no zq2 with bmp/ and wav/ in $run"

shots="$build/e2e-shots"
mkdir -p "$shots"
work=$(e2e_game_folder "$run" game)

# Pixels that differ between two PNGs inside the rectangle.
changed() {
  convert "$1" -crop "$3" +repage "$E2E_OUT/a.png"
  convert "$2" -crop "$3" +repage "$E2E_OUT/b.png"
  compare -metric AE "$E2E_OUT/a.png" "$E2E_OUT/b.png" null: 2>&1 || true
}

e2e_start_xvfb
export SDL_AUDIODRIVER=dummy
cd "$work"
e2e_run zq2 "$run/zq2"
game=$E2E_PID

box=$(e2e_wait_window ZQ-2 20) || e2e_fail "no score-file message"
e2e_screenshot "$shots/startup_message.png" "$box"
e2e_key "$box" Return
e2e_wait_gone "$box" 10 || e2e_fail "the message did not close on Enter"
question=$(e2e_wait_window ZQ-2 10 "$box") || e2e_fail "no full-screen question"
e2e_screenshot "$shots/startup_question.png" "$question"
e2e_key "$question" n
e2e_wait_gone "$question" 10 || e2e_fail "the question did not close on N"

window=$(e2e_wait_window ZQ-2 10 "$question") || e2e_fail "no main window"
read -r _ _ width height < <(e2e_geometry "$window")
[ "$width" = 400 ] && [ "$height" = 300 ] || e2e_fail "client area ${width}x${height}, not 400x300"
[ "$(xdotool getwindowname "$window")" = ZQ-2 ] || e2e_fail "caption is not ZQ-2"

sleep 1
e2e_screenshot "$shots/startup_stars_a.png" "$window"
sleep 1
e2e_screenshot "$shots/startup_stars_b.png" "$window"
# The left and right edges show nothing but stars on the title screen.
for strip in 80x240+0+25 80x240+320+25; do
  stars=$(lit "$shots/startup_stars_a.png" "$strip")
  [ "$stars" -ge 5 ] || e2e_fail "only $stars star pixels in $strip"
  moved=$(changed "$shots/startup_stars_a.png" "$shots/startup_stars_b.png" "$strip")
  [ "$moved" -ge 5 ] || e2e_fail "the stars in $strip did not move ($moved pixels changed)"
done

e2e_key "$window" Escape
e2e_wait_exit "$game" 10 || e2e_fail "zq2 did not end after Esc"
[ "$(stat -c %s ZQ2_sco.dat)" = 32 ] || e2e_fail "score file is not 32 bytes"
expected="7000 6000 5000 4000 3000 2000 1000 0"
actual=$(od -An -t d4 --endian=little -v ZQ2_sco.dat | xargs)
[ "$actual" = "$expected" ] || e2e_fail "score file holds '$actual'"

# Answers the next box captioned ZQ-2 with KEY and waits until it has gone (so the next search
# cannot find it again, even when the server hands its id to the next box).
answer() {
  local id
  id=$(e2e_wait_window ZQ-2 20) || e2e_fail "no box: $2"
  e2e_key "$id" "$1"
  e2e_wait_gone "$id" 10 || e2e_fail "box did not close: $2"
}
silent="$E2E_OUT/silent"
mkdir -p "$silent/wav"
ln -s "$run/bmp" "$silent/bmp"
cd "$silent"
e2e_run zq2_silent "$run/zq2"
answer Return "score-file message"
answer n "full-screen question"
answer Return "music load error"
for k in 1 2 3 4; do
  answer Return "wave message $k"
done
e2e_wait_exit "$E2E_PID" 10 || e2e_fail "zq2 did not end after the start-up without sound effects"
[ "$(stat -c %s ZQ2_sco.dat)" = 32 ] || e2e_fail "no score file after the close of the start-up"

full="$E2E_OUT/full"
mkdir -p "$full"
ln -s "$run/bmp" "$full/bmp"
ln -s "$run/wav" "$full/wav"
cp "$work/ZQ2_sco.dat" "$full/"
cd "$full"
e2e_run zq2_full "$run/zq2"
answer Return "full-screen question"
window=$(e2e_wait_window ZQ-2 10) || e2e_fail "no full-screen window"
sleep 1
read -r left top width height < <(e2e_geometry "$window")
[ "$left $top $width $height" = "0 0 1024 768" ] || e2e_fail "full screen at $left $top ${width}x${height}"
e2e_screenshot "$shots/startup_full.png"
# The logo, scaled by 1024 / 400 = 2.56, and the HUD's bottom line.
lit=$(lit "$shots/startup_full.png" 589x279+218+159)
[ "$lit" -ge 5000 ] || e2e_fail "no scaled title logo on the full screen ($lit)"
e2e_key "$window" Escape
e2e_wait_exit "$E2E_PID" 10 || e2e_fail "zq2 did not end after Esc in full screen"
[ "$(stat -c %s ZQ2_sco.dat)" = 32 ] || e2e_fail "no score file after full screen"
echo "startup: ok"
