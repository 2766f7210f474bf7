#!/usr/bin/env bash
# End to end: a file named on the command line that cannot be opened shows the program's message
# and, once it is acknowledged (a real Return key), ends the program with a failure status and
# without a main window.
# Usage: bad_file_ends_program.sh TONMIRA
set -euo pipefail
TONMIRA="$1"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

run_on_display() {
  use_test_home "$WORK"
  "$TONMIRA" "$WORK/missing.wav" 2>"$WORK/stderr.txt" &
  local pid=$! box
  box="$(wait_window '^Tonmira$' 300 --onlyvisible)" || { kill "$pid" 2>/dev/null || true; return 1; }
  if xdotool search --onlyvisible --name ' - Tonmira$' >/dev/null 2>&1; then
    echo "the main window is shown" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  sleep 0.3
  xdotool windowfocus --sync "$box"
  xdotool key Return
  local status=0
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not end" >&2
    kill "$pid"
    return 1
  fi
  wait "$pid" || status=$?
  echo "$status" >"$WORK/status"
}

if [ "${2:-}" = "--on-display" ]; then
  WORK="$3"
  run_on_display
  exit
fi

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
xvfb-run -a -s "-screen 0 800x600x24" "$0" "$TONMIRA" --on-display "$WORK"
status="$(cat "$WORK/status" 2>/dev/null || echo none)"
if [ "$status" != "1" ]; then
  echo "exit status $status, expected 1" >&2
  exit 1
fi
echo "the message was shown and the program ended with status 1"
