#!/usr/bin/env bash
# End to end: the built desktop program on a virtual X display opens the WAV file named on its
# command line; real key events (XTEST through xdotool) open File > Save As from the menu, type
# a new name into the file dialog and confirm; the file it writes must equal the input.
# Usage: save_as_by_keys.sh TONMIRA INPUT.wav
set -euo pipefail
TONMIRA="$1"
INPUT="$2"
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

run_on_display() {
  use_test_home "$WORK"
  "$TONMIRA" "$WORK/in.wav" 2>"$WORK/stderr.txt" &
  local pid=$!
  local win dialog
  win="$(wait_window 'in.wav - Tonmira')" || { kill "$pid" 2>/dev/null || true; return 1; }
  sleep 0.5
  xdotool windowfocus --sync "$win"
  # ﾌｧｲﾙ(&F) > 名前を付けて保存(&A)...
  xdotool key --delay 150 alt+f a
  dialog="$(wait_window '名前を付けて保存' 50)" || { kill "$pid" 2>/dev/null || true; return 1; }
  sleep 0.5
  save_in_dialog "$dialog" "$WORK/out.wav" "$WORK/out.wav"
  stop_program "$pid"
}
# Second stage, on the virtual display started by the first.
if [ "${3:-}" = "--on-display" ]; then
  WORK="$4"
  run_on_display
  exit
fi

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cp "$INPUT" "$WORK/in.wav"
xvfb-run -a -s "-screen 0 800x600x24" "$0" "$TONMIRA" "$INPUT" --on-display "$WORK"
if ! cmp -s "$WORK/in.wav" "$WORK/out.wav"; then
  echo "out.wav is missing or differs from the opened file" >&2
  ls -l "$WORK" >&2
  cat "$WORK/stderr.txt" >&2 || true
  exit 1
fi
echo "saved by keys: $(stat -c %s "$WORK/out.wav") bytes, equal to the input"
