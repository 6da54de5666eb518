#!/usr/bin/env bash
# Helpers for the end-to-end tests: a private X server, windows found by name, keys sent to them,
# screenshots and geometry. Source it, then call e2e_start_xvfb; everything started through
# these functions is stopped when the script exits.
#
#   e2e_start_xvfb [WxHxDEPTH]       start Xvfb on a free display and export DISPLAY
#   e2e_run NAME CMD...               run CMD in the background, output to $E2E_OUT/NAME.log;
#                                     sets E2E_PID
#   e2e_wait_window NAME [SECS] [NOT] echo the id of a visible window titled exactly NAME
#                                     (other than the id NOT), waiting up to SECS (10)
#   e2e_wait_gone ID [SECS]           wait until the window ID no longer exists
#   e2e_key ID KEY...                 focus window ID and press the keys (xdotool key names)
#   e2e_screenshot FILE [ID]          the whole screen, or one window, as a PNG
#   e2e_geometry ID                   echo "X Y WIDTH HEIGHT" of window ID
#   e2e_wait_log NAME TEXT [SECS]     wait until $E2E_OUT/NAME.log contains TEXT
#   e2e_wait_exit PID [SECS]          wait for a process started by e2e_run; returns its status
#   e2e_fail MESSAGE                  print MESSAGE and the logs, exit 1
set -euo pipefail

E2E_OUT=${E2E_OUT:-$(mktemp -d -t zq-e2e.XXXXXX)}
mkdir -p "$E2E_OUT"
E2E_PIDS=()
E2E_XVFB_PID=""

e2e_cleanup() {
  local pid tries
  for pid in "${E2E_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || continue
    for tries in $(seq 30); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  done
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
  fi
}
trap e2e_cleanup EXIT

e2e_fail() {
  echo "FAIL: $*" >&2
  if [ -n "${DISPLAY:-}" ]; then
    echo "--- windows on $DISPLAY" >&2
    xwininfo -root -tree 2>&1 | grep -E '^ +0x' | head -n 20 >&2 || true
  fi
  local log
  for log in "$E2E_OUT"/*.log; do
    [ -f "$log" ] || continue
    echo "--- $log" >&2
    tail -n 40 "$log" >&2
  done
  exit 1
}

e2e_start_xvfb() {
  # Xvfb picks a free display itself and names it once it accepts clients, so scripts running
  # side by side never share one.
  local screen=${1:-1024x768x24} tries n=""
  : >"$E2E_OUT/display"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$E2E_OUT/display" >"$E2E_OUT/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  for tries in $(seq 100); do
    n=$(tr -dc '0-9' <"$E2E_OUT/display")
    [ -n "$n" ] && break
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start"
    sleep 0.1
  done
  [ -n "$n" ] || e2e_fail "Xvfb named no display"
  export DISPLAY=":$n"
}

e2e_run() {
  local name=$1
  shift
  "$@" >"$E2E_OUT/$name.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

e2e_wait_window() {
  local name=$1 secs=${2:-10} not=${3:-} deadline id
  deadline=$((SECONDS + secs))
  while [ $SECONDS -le $deadline ]; do
    for id in $(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null || true); do
      if [ "$id" != "$not" ]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.2
  done
  return 1
}

e2e_wait_gone() {
  local id=$1 secs=${2:-10} deadline
  deadline=$((SECONDS + secs))
  while [ $SECONDS -le $deadline ]; do
    xwininfo -id "$id" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}

e2e_key() {
  local id=$1
  shift
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  local key
  for key in "$@"; do
    xdotool key --delay 60 "$key"
    sleep 0.1
  done
}

e2e_screenshot() {
  local file=$1 id=${2:-root}
  import -window "$id" "$file"
}

e2e_geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF}
    END {print x, y, w, h}'
}

e2e_wait_log() {
  local name=$1 text=$2 secs=${3:-10} deadline
  deadline=$((SECONDS + secs))
  while [ $SECONDS -le $deadline ]; do
    grep -qF -- "$text" "$E2E_OUT/$name.log" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

e2e_wait_exit() {
  local pid=$1 secs=${2:-10} deadline
  deadline=$((SECONDS + secs))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -le $deadline ] || return 124
    sleep 0.1
  done
  local status=0
  wait "$pid" || status=$?
  return $status
}

# A folder for one game run under E2E_OUT, with the run folder's sprites and sounds linked in.
# e2e_game_folder RUN_DIR NAME  -> prints the folder
e2e_game_folder() {
  local dir="$E2E_OUT/$2"
  mkdir -p "$dir"
  ln -s "$1/bmp" "$dir/bmp"
  ln -s "$1/wav" "$dir/wav"
  echo "$dir"
}

# The 32-byte score file: eight little-endian signed 32-bit numbers.  e2e_write_scores FILE V0..V7
e2e_write_scores() {
  local file=$1
  shift
  perl -e 'print pack("l<8", @ARGV)' "$@" >"$file"
}

# Lit pixels (brighter than 5 % grey) of a screenshot inside a rectangle WxH+X+Y.
lit() { convert "$1" -crop "$2" +repage -colorspace gray -threshold 5% -format '%[fx:round(mean*w*h)]' info:; }
expect_lit() {  # FILE RECT MIN WHAT
  local n
  n=$(lit "$1" "$2")
  [ "$n" -ge "$3" ] || e2e_fail "$4: $n lit pixels in $2, want $3 or more"
}
expect_dark() {  # FILE RECT WHAT
  local n
  n=$(lit "$1" "$2")
  [ "$n" -le 3 ] || e2e_fail "$3: $n lit pixels in $2, want none"
}

# Starts RUN_DIR/zq2 in the current folder and answers No to the full-screen question.
# Sets E2E_GAME (its process) and E2E_WINDOW (the main window).   e2e_start_windowed RUN_DIR
e2e_start_windowed() {
  local question
  e2e_run zq2 "$1/zq2"
  E2E_GAME=$E2E_PID
  question=$(e2e_wait_window ZQ-2 30) || e2e_fail "no full-screen question"
  e2e_key "$question" n
  e2e_wait_gone "$question" 10 || e2e_fail "the question did not close on N"
  E2E_WINDOW=$(e2e_wait_window ZQ-2 20 "$question") || e2e_fail "no main window"
}
