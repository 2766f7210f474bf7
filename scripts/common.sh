# Shared set-up for scripts/run and scripts/test: install missing Debian packages, configure, build.
# Sourced, not run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Build and runtime needs of tonmira_core, tonmira-cli and the desktop program tonmira (Qt 6
# Widgets and DBus, lrelease for its English texts, a Japanese gothic font for its forms).
TONMIRA_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev
  portaudio19-dev libasound2-dev libavformat-dev libavcodec-dev libavutil-dev libswresample-dev
  libfftw3-dev qt6-base-dev qt6-l10n-tools fonts-ipafont-gothic)
# Only the test suite needs these (audio inputs made with ffmpeg, sox and flac, reference runs
# with sox, the archive example run with GNU parallel, the desktop program driven on a virtual
# display with real key events, saves traced with strace, a sound device that keeps time: JACK's
# dummy backend reached through ALSA's jack plug-in; the man pages rendered by groff, the
# AppStream metadata validated, the --json output read by Python's JSON parser).
TONMIRA_TEST_PACKAGES=(ffmpeg sox flac parallel alsa-utils xvfb xauth xdotool strace jackd2 libasound2-plugins
  groff-base appstream python3)
# The Debian package: CPack's dependency scan (dpkg-shlibdeps, file), lintian, the menu entry's
# check, the installed program started on a virtual display, its man pages shown by man and its
# metadata validated; and what the package needs at run time besides its libraries (Qt's
# translations), so that dpkg can install it.
TONMIRA_PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils xvfb xauth xdotool imagemagick man-db appstream
  qt6-translations-l10n)
# The fuzz stage of the suite: clang with libFuzzer and the sanitizer runtimes.
TONMIRA_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# scripts/screenshot: the program on a virtual display, pictured with ImageMagick's import.
TONMIRA_SCREENSHOT_PACKAGES=(xvfb xauth imagemagick)

ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# build_tree DIR [cmake options...]: configure and build with Ninja. The options are kept in
# DIR/.tonmira-options; when they differ from the last configure (or DIR has none), cmake
# configures afresh (a new cache, so an option left out falls back to its default), and a
# changed option never leaves a folder built the old way. Unchanged sources are not rebuilt.
build_tree() {
  local dir="$1"; shift
  local stamp="$dir/.tonmira-options" wanted
  wanted="$(printf '%s\n' "$@")"
  if [ ! -f "$dir/build.ninja" ] || [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$wanted" ]; then
    rm -f "$stamp"
    cmake --fresh -S "$ROOT" -B "$dir" -G Ninja "$@" >&2
    printf '%s\n' "$@" >"$stamp"
  fi
  cmake --build "$dir" >&2
}
