# Shared steps of the end-to-end scripts on the virtual display. Sourced, not run.

# The program keeps its settings and runtime files in the test's folder and draws through X.
use_test_home() {
  export HOME="$1" XDG_CONFIG_HOME="$1/.config" XDG_RUNTIME_DIR="$1" QT_QPA_PLATFORM=xcb
}

# wait_window NAME [TENTHS [xdotool search options...]]: prints the id of the first window whose
# name matches NAME, waiting up to TENTHS tenths of a second (default 300); fails with a line on
# stderr when none appears.
wait_window() {
  local name="$1" tries="${2:-300}" win=""
  shift
  [ $# -gt 0 ] && shift
  for _ in $(seq 1 "$tries"); do
    win="$(xdotool search "$@" --name "$name" 2>/dev/null | head -1 || true)"
    if [ -n "$win" ]; then
      echo "$win"
      return 0
    fi
    sleep 0.1
  done
  echo "no window '$name'" >&2
  return 1
}

# save_in_dialog DIALOG PATH FILE: in the file dialog DIALOG, whose name field has the focus,
# replaces the name with PATH, confirms, and waits up to 5 s for FILE to appear.
save_in_dialog() {
  xdotool windowfocus --sync "$1"
  xdotool key --delay 50 ctrl+a
  xdotool type --delay 20 "$2"
  xdotool key Return
  for _ in $(seq 1 50); do
    [ -f "$3" ] && break
    sleep 0.1
  done
  sleep 0.3
}

# stop_program PID: ends the program and waits for it.
stop_program() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
