#!/usr/bin/env bash
# The start-up dialogs and the main window on a real X display: the message, the question
# answered No from the keyboard, the 400 × 300 window, keys reaching the form, Esc closing it; then the
# question answered Yes with the mouse, which fills the screen until Esc.
# Usage: platform_dialog.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/../../scripts/e2e_common.sh"
e2e_start_xvfb 1024x768x24
echo "screenshots in $E2E_OUT"

e2e_run demo "$build/tests/test_platform" --gtest_also_run_disabled_tests --gtest_filter='DISABLED_Desktop.*'
demo=$E2E_PID

message=$(e2e_wait_window "ZQ-2" 40) || e2e_fail "no message box"
sleep 0.5
e2e_screenshot "$E2E_OUT/message.png" "$message"
e2e_key "$message" Return
e2e_wait_gone "$message" || e2e_fail "Enter did not close the message"

question=$(e2e_wait_window "ZQ-2" 30 "$message") || e2e_fail "no question"
sleep 0.5
e2e_screenshot "$E2E_OUT/question.png" "$question"
# The focus starts on Yes; Tab moves it to No, round to Yes and to No again; Enter takes it.
e2e_key "$question" Tab Tab Tab Return
e2e_wait_log demo "answer=7" || e2e_fail "Enter on the focused No did not answer No"

window=$(e2e_wait_window "ZQ-2" 30 "$question") || e2e_fail "no main window"
sleep 0.5
read -r x y w h < <(e2e_geometry "$window")
[ "$w" = 400 ] && [ "$h" = 300 ] || e2e_fail "client area is ${w}x${h}, not 400x300"
# Centred on the 1024 × 768 screen (no window manager, so no frame is added).
[ "$x" = 312 ] && [ "$y" = 234 ] || e2e_fail "window at $x,$y, not centred"
e2e_screenshot "$E2E_OUT/window.png" "$window"
xprop -id "$window" _NET_WM_ICON | grep -q "CARDINAL" || e2e_fail "the window has no icon"
e2e_screenshot "$E2E_OUT/screen.png"
e2e_key "$window" Left KP_4 space z F11 Escape
e2e_wait_exit "$demo" 10 || e2e_fail "the program did not end after Esc"
for expected in key=37 key=100 key=32 key=90 key=122 key=27 closing ended; do
  grep -qx "$expected" "$E2E_OUT/demo.log" || e2e_fail "missing '$expected' in the output"
done

e2e_run fullscreen "$build/tests/test_platform" --gtest_also_run_disabled_tests --gtest_filter='DISABLED_Desktop.*'
demo=$E2E_PID
message=$(e2e_wait_window "ZQ-2" 40) || e2e_fail "no message box"
e2e_key "$message" Escape
e2e_wait_gone "$message" || e2e_fail "Esc did not close the message"
question=$(e2e_wait_window "ZQ-2" 30 "$message") || e2e_fail "no question"
sleep 0.5
read -r x y w h < <(e2e_geometry "$question")
# The Yes button is the first of two 96-pixel buttons centred 20 pixels above the bottom edge.
xdotool mousemove --window "$question" $((w / 2 - 54)) $((h - 34)) click 1
e2e_wait_log fullscreen "answer=6" || e2e_fail "clicking Yes did not answer Yes"
window=$(e2e_wait_window "ZQ-2" 30 "$question") || e2e_fail "no full-screen window"
sleep 1
read -r x y w h < <(e2e_geometry "$window")
[ "$w" = 1024 ] && [ "$h" = 768 ] || e2e_fail "full screen is ${w}x${h}, not the whole 1024x768 screen"
e2e_screenshot "$E2E_OUT/fullscreen.png"
e2e_key "$window" Escape
e2e_wait_exit "$demo" 10 || e2e_fail "the full-screen program did not end after Esc"
echo "PASS"
