#!/usr/bin/env bash
# Installs into a temporary prefix, starts the installed launcher from an unrelated folder under
# Xvfb, quits with Esc, and finds the score file in the player's data folder; installing again
# keeps it.
set -euo pipefail
build=$1
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=:$((60 + RANDOM % 30))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
export HOME=$work/home
unset XDG_DATA_HOME
mkdir -p "$HOME" "$work/elsewhere"
export SDL_AUDIODRIVER=dummy

window() {  # waits for a window named ZQ-2 and prints its id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name '^ZQ-2$' 2>/dev/null | tail -n 1) && [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no ZQ-2 window appeared; the game said:" >&2
  cat "$work/game.log" >&2
  return 1
}

# Real key events (XTEST) to the window under the pointer, as a player's keyboard sends them.
press() {
  xdotool mousemove 512 384 sleep 0.1 key "$1"
}

play_once() {
  (cd "$work/elsewhere" && "$prefix/bin/zq2" >"$work/game.log" 2>&1) &
  local pid=$!
  if [ ! -f "$HOME/.local/share/zq2/ZQ2_sco.dat" ]; then
    w=$(window) || return 1
    press Escape   # "ZQ2_sco.dat を作成します。"
    sleep 0.5
  fi
  w=$(window) || return 1
  press n          # window mode, not full screen
  sleep 1.5
  w=$(window) || return 1
  press Escape     # quit
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"; echo "the game did not end on Esc" >&2; cat "$work/game.log" >&2; return 1
  fi
  wait "$pid" || true
}

play_once
scores=$HOME/.local/share/zq2/ZQ2_sco.dat
[ -f "$scores" ] || { echo "no score file in the data folder" >&2; exit 1; }
[ "$(stat -c %s "$scores")" -eq 32 ] || { echo "score file is not 32 bytes" >&2; exit 1; }
[ -e "$work/elsewhere/ZQ2_sco.dat" ] && { echo "score file written into the current folder" >&2; exit 1; }
[ -f "$prefix/share/applications/zq2.desktop" ] || { echo "no desktop entry" >&2; exit 1; }

# A score the player earned must survive a reinstall.
printf '\x39\x30\x00\x00' | dd of="$scores" bs=1 seek=0 conv=notrunc 2>/dev/null   # 12345
before=$(sha256sum <"$scores")
cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(sha256sum <"$scores")" = "$before" ] || { echo "reinstall changed the score file" >&2; exit 1; }
play_once
first=$(od -An -t d4 -N4 "$scores" | tr -d ' ')
[ "$first" = 12345 ] || { echo "score table lost after reinstall: first entry $first" >&2; exit 1; }
echo "install e2e: 1 passed, 0 failed"
