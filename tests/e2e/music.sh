#!/usr/bin/env bash
# The background music of the real game, captured by SDL's disk audio driver: sound within two
# seconds of the window opening, and no gap where the tune jumps from its loop end back to its
# loop start, about 63.6 s after the music started (136 quarter notes of 468 ms).
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/e2e_common.sh"
run="$build/run"
[ -x "$run/zq2" ] && [ -d "$run/bmp" ] && [ -f "$run/wav/bgm.mid" ] || e2e_fail "no zq2 with bmp/ and wav/bgm.mid in $run"

work=$(e2e_game_folder "$run" music)
head -c 32 /dev/zero >"$work/ZQ2_sco.dat"  # a score file, so no message comes first

audio="$E2E_OUT/audio.f32"
rate=44100
frame=8                      # stereo, 32-bit float
second=$((rate * frame))
loop_ms=63648
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio"

# RMS of each WINDOW_MS piece of the capture from byte START for MS milliseconds, one a line.
levels() {
  local start=$1 ms=$2 window=$3
  dd if="$audio" iflag=skip_bytes,count_bytes skip="$start" count=$((ms * second / 1000)) bs=1M status=none |
    od -An -v -t f4 -w8 |
    awk -v n=$((rate * window / 1000)) '
      { s += $1 * $1 + $2 * $2; if (++k == n) { printf "%.6f\n", sqrt(s / (2 * n)); s = 0; k = 0 } }'
}
silent() { awk '{ print ($1 < 0.0005) ? 1 : 0 }'; }
# The number (from 1) of the first line that is not silent; empty if there is none.
first_sound() { silent | awk '!found && $1 == 0 { print NR; found = 1 }'; }
captured() { stat -c %s "$audio" 2>/dev/null || echo 0; }

e2e_start_xvfb
cd "$work"
e2e_start_windowed "$run"
game=$E2E_GAME
window=$E2E_WINDOW
opened=$(($(captured) / frame * frame))

# Until the capture holds 70 s past the window's opening (the driver writes in real time).
deadline=$((SECONDS + 110))
while [ "$(captured)" -lt $((opened + 70 * second)) ]; do
  kill -0 "$game" 2>/dev/null || e2e_fail "zq2 ended while the music played"
  [ $SECONDS -le $deadline ] || e2e_fail "the audio capture stopped growing"
  sleep 1
done
e2e_key "$window" Escape
e2e_wait_exit "$game" 10 || e2e_fail "zq2 did not end after Esc"

# Sound within two seconds of the window opening.
first=$(levels "$opened" 2000 100 | first_sound)
[ -n "$first" ] || e2e_fail "silence for two seconds after the window opened"

# The music's start: the first 10 ms of sound in the capture.
start_window=$(levels 0 $(((opened / second + 3) * 1000)) 10 | first_sound)
start=$(((start_window - 1) * second / 100))
# Around the jump: every 250 ms from 3 s before to 3 s after it holds sound.
from=$((start + (loop_ms - 3000) * second / 1000 / frame * frame))
gaps=$(levels "$from" 6000 250 | silent | awk '{ n += $1 } END { print n + 0 }')
[ "$gaps" = 0 ] || e2e_fail "$gaps silent quarter seconds around the loop point"
# And nothing went quiet for a whole second anywhere in the 70 s.
quiet=$(levels "$opened" 70000 1000 | silent | awk '{ n += $1 } END { print n + 0 }')
[ "$quiet" = 0 ] || e2e_fail "$quiet silent seconds in the capture"
echo "music: ok"
