#!/usr/bin/env bash
# End to end: the built desktop program on a virtual X display opens a stereo WAV file; real key
# events (XTEST through xdotool) open Options > balance, move the slider all the way to L and
# confirm, then save the mono data through its file dialog. The mono file must be the left
# channel alone: the one tonmira-cli writes with --balance 0.
# Usage: balance_by_keys.sh TONMIRA TONMIRA_CLI INPUT.wav
set -euo pipefail
TONMIRA="$1"
CLI="$2"
INPUT="$3"

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Waits for a window whose name matches $1, gives it time to settle and prints its id.
settled_window() {
  local win
  win="$(wait_window "$1" 100)" || return 1
  sleep 0.5
  echo "$win"
}

run_on_display() {
  use_test_home "$WORK"
  "$TONMIRA" "$WORK/in.wav" 2>"$WORK/stderr.txt" &
  local pid=$!
  trap 'kill "$pid" 2>/dev/null || true' RETURN
  local main balance save
  main="$(settled_window 'in.wav - Tonmira')"
  xdotool windowfocus --sync "$main"
  # ｵﾌﾟｼｮﾝ(&O) > 左右ﾊﾞﾗﾝｽ(&B)...: the slider has the focus; Home is L, Return is OK.
  xdotool key --delay 150 alt+o b
  balance="$(settled_window '左右ﾊﾞﾗﾝｽ設定')"
  xdotool windowfocus --sync "$balance"
  xdotool key --delay 100 Home Return
  sleep 0.5
  xdotool windowfocus --sync "$main"
  # ﾌｧｲﾙ(&F) > ﾓﾉﾗﾙﾃﾞｰﾀの保存(&M)...: type the name (".wav" is added) and confirm.
  xdotool key --delay 150 alt+f m
  save="$(settled_window 'ﾓﾉﾗﾙﾃﾞｰﾀﾌｧｲﾙの保存')"
  save_in_dialog "$save" "$WORK/mono" "$WORK/mono.wav"  # ".wav" is added
}
# Second stage, on the virtual display started by the first.
if [ "${4:-}" = "--on-display" ]; then
  WORK="$5"
  run_on_display
  exit
fi

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cp "$INPUT" "$WORK/in.wav"
xvfb-run -a -s "-screen 0 800x600x24" "$0" "$TONMIRA" "$CLI" "$INPUT" --on-display "$WORK"
"$CLI" mono "$WORK/in.wav" "$WORK/left.wav" --balance 0
if ! cmp -s "$WORK/left.wav" "$WORK/mono.wav"; then
  echo "mono.wav is missing or is not the left channel" >&2
  ls -l "$WORK" >&2
  cat "$WORK/stderr.txt" >&2 || true
  exit 1
fi
echo "balance set by keys: the mono data is the left channel ($(stat -c %s "$WORK/mono.wav") bytes)"
