#!/usr/bin/env bash
# The AppStream description of the desktop program: valid for appstreamcli, and telling software
# centres the same audio types as the menu entry opens.
# Usage: metainfo.sh METAINFO DESKTOP_FILE
set -euo pipefail
fail() { echo "FAILED: $*" >&2; exit 1; }
appstreamcli validate --no-net --pedantic "$1" || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$(basename "$2")</launchable>" "$1" || fail "the launchable is not $(basename "$2")"
desktop=$(sed -n 's/^MimeType=//p' "$2" | tr ';' '\n' | sed '/^$/d' | sort)
metainfo=$(sed -n 's|.*<mediatype>\(.*\)</mediatype>.*|\1|p' "$1" | sort)
[ "$desktop" = "$metainfo" ] || fail "media types differ from the menu entry's:"$'\n'"$(diff <(echo "$desktop") <(echo "$metainfo"))"
echo "metainfo valid; media types as in the menu entry"
