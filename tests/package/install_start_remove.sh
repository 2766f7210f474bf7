#!/usr/bin/env bash
# The Debian package of a build folder on this machine: built with CPack, installed with dpkg,
# started from its menu entry's command line on a virtual X display (its main window must
# appear with the file open), then removed, leaving none of its files behind.
# Needs root (or password-less sudo) and a machine where tonmira is not installed already;
# otherwise it skips (status 77) rather than replace someone's installation.
# Usage: install_start_remove.sh BUILD_DIR AUDIO_FILE [SCREENSHOT.png]
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
AUDIO="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
SKIP=77

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if sudo -n true 2>/dev/null; then SUDO="sudo -n"; else echo "skipped: dpkg needs root" >&2; exit $SKIP; fi
fi

# One package check at a time on the machine, whichever build folder it comes from.
exec 9>/tmp/tonmira-package-check.lock
flock 9

installed() { dpkg-query -W -f='${Status}' tonmira 2>/dev/null | grep -q 'install ok installed'; }
if installed; then
  echo "skipped: the package tonmira is installed on this machine; not replacing it" >&2
  exit $SKIP
fi

# dpkg refuses at once while another apt-get or dpkg holds its lock: wait for it.
dpkg_retry() {
  for _ in $(seq 1 120); do
    $SUDO dpkg "$@" >"$WORK/dpkg.log" 2>&1 && return 0
    grep -q 'lock' "$WORK/dpkg.log" || { cat "$WORK/dpkg.log" >&2; return 1; }
    sleep 1
  done
  cat "$WORK/dpkg.log" >&2
  return 1
}

WORK="$(mktemp -d)"
cleanup() {
  installed && dpkg_retry -r tonmira || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }

start=$SECONDS
cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1 \
  || { cat "$WORK/cpack.log" >&2; fail "cpack"; }
DEB="$(ls "$WORK"/out/tonmira_*.deb 2>/dev/null | head -1)"
[ -n "$DEB" ] || fail "cpack made no tonmira_*.deb"
echo "built $(basename "$DEB") ($(du -k "$DEB" | cut -f1) KiB) in $((SECONDS - start)) s"

# What the package holds and needs, before it touches the machine.
dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's|^\./|/|' >"$WORK/files"
for f in /usr/bin/tonmira /usr/bin/tonmira-cli /usr/share/applications/tonmira.desktop \
         /usr/share/icons/hicolor/scalable/apps/tonmira.svg /usr/share/icons/hicolor/48x48/apps/tonmira.png \
         /usr/share/icons/hicolor/256x256/apps/tonmira.png \
         /usr/share/tonmira/manual/ja/index.html /usr/share/tonmira/manual/en/index.html \
         /usr/share/doc/tonmira/copyright /usr/share/doc/tonmira/changelog.gz \
         /usr/share/man/man1/tonmira.1.gz /usr/share/man/man1/tonmira-cli.1.gz \
         /usr/share/bash-completion/completions/tonmira-cli /usr/share/metainfo/org.example.tonmira.metainfo.xml; do
  grep -qx "$f" "$WORK/files" || fail "the package lacks $f"
done
depends="$(dpkg-deb -f "$DEB" Depends)"
for d in libqt6widgets6 libportaudio2 qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic; do
  [[ "$depends" == *"$d"* ]] || fail "Depends lacks $d: $depends"
done

dpkg_retry -i "$DEB" || fail "dpkg -i"
installed || fail "dpkg -i left tonmira not installed"
/usr/bin/tonmira-cli info "$AUDIO" | grep -q '^rate: 44100' || fail "the installed tonmira-cli cannot read $AUDIO"
# Around the programs: help, version and JSON of the installed binaries (no display needed),
# the man pages as man shows them, the completion as bash loads it, the AppStream metadata.
# (Each output is taken whole before it is searched: grep -q would end the pipe early.)
has() { grep -q -- "$2" <<<"$1"; }
has "$(/usr/bin/tonmira-cli collect --help)" '--continuous-ms MS' || fail "tonmira-cli collect --help lists no settings options"
has "$(/usr/bin/tonmira --help)" '--lang ja|en' || fail "tonmira --help does not name --lang"
has "$(/usr/bin/tonmira-cli --version)" '^tonmira-cli [0-9.]*$' || fail "tonmira-cli --version"
has "$(env -u DISPLAY /usr/bin/tonmira --version --verbose)" '^Qt: ' || fail "tonmira --version --verbose"
has "$(/usr/bin/tonmira-cli info "$AUDIO" --json)" '"rate":44100' || fail "tonmira-cli info --json"
if command -v man >/dev/null; then
  for page in tonmira tonmira-cli; do
    warnings=$(MANWIDTH=80 man --warnings "$page" 2>&1 >/dev/null) || fail "man $page"
    [ -z "$warnings" ] || fail "man $page: $warnings"
  done
  has "$(MANWIDTH=80 man tonmira-cli 2>/dev/null)" 'pre-trigger-ms' || fail "man tonmira-cli lacks the options"
fi
bash -c 'source /usr/share/bash-completion/completions/tonmira-cli && COMP_WORDS=(tonmira-cli inf) COMP_CWORD=1 &&
         _tonmira_cli && [ "${COMPREPLY[*]}" = info ]' || fail "the installed completion does not complete 'inf'"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net /usr/share/metainfo/org.example.tonmira.metainfo.xml >"$WORK/appstream.log" 2>&1 \
    || { cat "$WORK/appstream.log" >&2; fail "the installed AppStream metadata is not valid"; }
fi
echo "help, version, JSON, man pages, completion and AppStream metadata of the installed package work"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate /usr/share/applications/tonmira.desktop || fail "the installed menu entry is not valid"
fi

# The menu entry's own command, with the file in place of %f, on a virtual display.
exec_line="$(sed -n 's/^Exec=//p' /usr/share/applications/tonmira.desktop)"
[ -n "$exec_line" ] || fail "the menu entry has no Exec line"
cat >"$WORK/on-display.sh" <<SCRIPT
#!/usr/bin/env bash
export HOME="$WORK" XDG_CONFIG_HOME="$WORK/.config" XDG_RUNTIME_DIR="$WORK" QT_QPA_PLATFORM=xcb PATH=/usr/bin:/bin
${exec_line//%f/\"$AUDIO\"} 2>"$WORK/stderr.txt" &
pid=\$!
name="$(basename "$AUDIO") - Tonmira"
for _ in \$(seq 1 300); do
  xdotool search --onlyvisible --name "^\$name\\\$" >/dev/null 2>&1 && { echo shown >"$WORK/window"; break; }
  kill -0 \$pid 2>/dev/null || break
  sleep 0.1
done
import -window root "$WORK/screen.png" 2>/dev/null || true
kill \$pid 2>/dev/null || true
wait \$pid 2>/dev/null || true
SCRIPT
chmod +x "$WORK/on-display.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$WORK/on-display.sh"
[ -f "$WORK/window" ] || { cat "$WORK/stderr.txt" >&2; fail "the installed tonmira showed no window titled '$(basename "$AUDIO") - Tonmira'"; }
echo "the installed tonmira showed its window with $(basename "$AUDIO")"
[ -z "${3:-}" ] || cp "$WORK/screen.png" "$3"

dpkg_retry -r tonmira || fail "dpkg -r"
installed && fail "dpkg -r left tonmira installed"
while read -r f; do
  [ -f "$f" ] && fail "dpkg -r left $f"
done <"$WORK/files"
echo "installed, started and removed in $((SECONDS - start)) s"
