#!/usr/bin/env bash
# End to end on the real sound path: the built desktop program on a virtual X display, PortAudio
# on an ALSA default device that plays into out.raw and captures from in.raw. Real keys play the
# opened file (Ctrl+P), record after it (Ctrl+R, then Space) and save (Ctrl+S); the played bytes
# and the saved take are checked.
# The file device is not paced like a sound card: it plays and captures as fast as it is asked,
# so the checks are on what comes first, not on how much.
# Usage: play_record_by_keys.sh TONMIRA INPUT.wav (any WAV; its left channel is played)
set -euo pipefail
TONMIRA="$1"
INPUT="$2"

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

run_on_display() {
  use_test_home "$WORK"
  "$TONMIRA" "$WORK/take.wav" 2>"$WORK/stderr.txt" &
  local pid=$!
  local win
  win="$(wait_window 'take.wav - Tonmira')" || { kill "$pid" 2>/dev/null || true; return 1; }
  sleep 0.5
  xdotool windowfocus --sync "$win"
  xdotool key ctrl+p
  # Played when out.raw holds the take's data after the leading silence the sound system primes
  # with (a few KiB; 64 KiB allowed), or after 30 s, when the checks below say what went wrong.
  local data=$(( $(stat -c %s "$WORK/original.wav") - 44 ))
  for _ in $(seq 1 120); do
    sleep 0.25
    [ "$(stat -c %s "$WORK/out.raw" 2>/dev/null || echo 0)" -ge $((data + 65536)) ] && break
  done
  # The file device writes every stream it opens into out.raw, from the start: keep what the
  # playback wrote before the recording opens it again.
  cp "$WORK/out.raw" "$WORK/played.raw" 2>/dev/null || true
  xdotool key ctrl+r
  sleep 1
  xdotool key space
  sleep 0.5
  xdotool key ctrl+s
  # Saved when the take on disk has grown (or give up after 30 s and let the checks say so).
  for _ in $(seq 1 120); do
    [ "$(stat -c %s "$WORK/take.wav")" -gt "$((data + 44))" ] && break
    sleep 0.25
  done
  sleep 0.5
  stop_program "$pid"
}

if [ "${3:-}" = "--on-display" ]; then
  WORK="$4"
  run_on_display
  exit
fi

WORK="$(mktemp -d)"
trap '[ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
# A mono take: what is played is then exactly the take's data.
sox "$INPUT" -b 16 "$WORK/take.wav" remix 1
printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; infile "%s"; format "raw" }\n' \
  "$WORK/out.raw" "$WORK/in.raw" >"$WORK/.asoundrc"
# Capture input: a constant sample value 0x0101.
head -c $((44100 * 2 * 5)) /dev/zero | tr '\0' '\1' >"$WORK/in.raw"
cp "$WORK/take.wav" "$WORK/original.wav"
before="$(stat -c %s "$WORK/take.wav")"
xvfb-run -a -s "-screen 0 800x600x24" "$0" "$TONMIRA" "$INPUT" --on-display "$WORK"

first_sound() { LC_ALL=C grep -obUaP -m1 '[^\x00]' "$1" | head -1 | cut -d: -f1; }
# Playback: after the silence the sound system primes its buffer with, the device received the
# whole take, sample for sample.
data=$((before - 44))
tail -c +45 "$WORK/original.wav" >"$WORK/data.raw"
played="$(stat -c %s "$WORK/played.raw" 2>/dev/null || echo 0)"
take_at="$(first_sound "$WORK/data.raw")"
played_at="$(first_sound "$WORK/played.raw" || echo 0)"
lead=$(( (played_at - take_at) & ~1 ))
if [ "$lead" -lt 0 ] || ! cmp -s -n "$data" "$WORK/data.raw" <(tail -c +$((lead + 1)) "$WORK/played.raw"); then
  echo "the device did not receive the take ($played bytes played)" >&2
  cat "$WORK/stderr.txt" >&2 || true
  exit 1
fi
# Recording: the take grew by the captured frames, which hold the input's sample value.
after="$(stat -c %s "$WORK/take.wav")"
if [ "$after" -le "$before" ]; then
  echo "the saved take did not grow ($before -> $after bytes)" >&2
  cat "$WORK/stderr.txt" >&2 || true
  exit 1
fi
# The saved file is the old take followed by the captured frames.
if ! cmp -s -n "$data" <(tail -c +45 "$WORK/original.wav") <(tail -c +45 "$WORK/take.wav"); then
  echo "the saved take does not begin with the old one" >&2
  exit 1
fi
recorded="$(od -v -An -tx1 -j $((44 + data)) -N 64 "$WORK/take.wav" | tr -d ' \n')"
if [ "$recorded" != "$(printf '01%.0s' $(seq 1 64))" ]; then
  echo "the recorded frames are not the captured input: $recorded" >&2
  exit 1
fi
echo "played $played bytes; take $before -> $after bytes"
