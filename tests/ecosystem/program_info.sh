#!/usr/bin/env bash
# tonmira --help and --version answer on stdout without a display (none is set here) and exit 0.
# Usage: program_info.sh TONMIRA VERSION
set -euo pipefail
fail() { echo "FAILED: $*" >&2; exit 1; }
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb  # would fail at once if the window were started
help=$("$1" --help) || fail "--help exited $?"
for word in "--lang ja|en" "FILE" "--version"; do
  grep -qF -- "$word" <<<"$help" || fail "--help does not mention $word: $help"
done
[ "$("$1" --version)" = "tonmira $2" ] || fail "--version: $("$1" --version)"
verbose=$("$1" --version --verbose) || fail "--version --verbose exited $?"
for line in "tonmira $2" "FFmpeg: FFmpeg " "FFTW: fftw-3" "PortAudio: PortAudio V19" "Qt: 6."; do
  grep -qF -- "$line" <<<"$verbose" || fail "--version --verbose lacks '$line': $verbose"
done
echo "help and version without a display"
