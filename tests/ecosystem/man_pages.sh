#!/usr/bin/env bash
# The man pages as man shows them: groff with every warning on must have nothing to say, and
# tonmira-cli's page must describe every option that COMMAND --help lists, under that command.
# Usage: man_pages.sh TONMIRA_CLI PAGE...
set -euo pipefail
CLI=$1; shift
fail() { echo "FAILED: $*" >&2; exit 1; }
for page in "$@"; do
  warnings=$(groff -ww -man -Tutf8 -z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  # Lines longer than the terminal are what groff -ww cannot see in a no-fill block.
  wide=$(groff -man -Tascii -P-cbou -rLL=80n "$page" 2>/dev/null | awk 'length > 80' || true)
  [ -z "$wide" ] || fail "$page: lines wider than 80 columns:"$'\n'"$wide"
  echo "$(basename "$page"): rendered without warnings"
done
cli_page=$(printf '%s\n' "$@" | grep 'tonmira-cli\.1')
rendered=$(groff -man -Tascii -P-cbou -rLL=200n "$cli_page")
commands=$(echo "$rendered" | awk '/^COMMANDS/ { on = 1; next } /^[A-Z]/ { on = 0 } on && /^   [a-z]+$/ { print $1 }')
[ -n "$commands" ] || fail "no commands in $cli_page"
for command in $commands; do
  section=$(echo "$rendered" | awk -v c="$command" '$0 == "   " c { on = 1; next } /^   [a-z]+$/ || /^[A-Z]/ { on = 0 } on')
  options=$("$CLI" "$command" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p')
  for option in $options; do
    grep -q -- "^       $option\b" <<<"$section" || fail "$command $option is not in the man page"
  done
done
echo "every option of every command is in the man page"
