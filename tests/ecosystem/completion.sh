#!/usr/bin/env bash
# The bash completion of tonmira-cli, driven as bash drives it: COMP_WORDS and COMP_CWORD set,
# the function that `complete -p tonmira-cli` names called, COMPREPLY compared.
# Usage: completion.sh COMPLETION_SCRIPT
set -uo pipefail
export LC_ALL=C
source "$1" || { echo "FAILED: the script does not load"; exit 1; }
spec=$(complete -p tonmira-cli) || { echo "FAILED: no completion for tonmira-cli"; exit 1; }
func=${spec#*-F }
func=${func%% *}

DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
F=$DIR/files
mkdir -p "$F/sub"
touch "$F/a.wav" "$F/b.FLAC" "$F/c.ars" "$F/d.txt" "$F/e.png"
# The devices command as the program prints it, for the device names.
mkdir "$DIR/bin"
cat >"$DIR/bin/tonmira-cli" <<'STUB'
#!/bin/sh
[ "$1" = devices ] || exit 2
printf 'index\thost-api\tinputs\toutputs\trate\tdefault\tname\n'
printf '0\tALSA\t2\t2\t44100\tinput,output\tdefault\n'
printf '3\tALSA\t2\t0\t48000\t-\tField rec\n'
STUB
chmod +x "$DIR/bin/tonmira-cli"

failures=0
# expect "WANTED REPLIES (sorted, blank-separated)" WORD... : the last word is the one completed.
expect() {
    local wanted=$1; shift
    COMP_WORDS=("$DIR/bin/tonmira-cli" "$@")
    COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))
    COMPREPLY=()
    "$func" tonmira-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sed "s|^$F/||" | sort | tr '\n' ' ')
    got=${got% }
    if [ "$got" != "$wanted" ]; then
        echo "FAILED: tonmira-cli $*| gave '$got', not '$wanted'"
        failures=$((failures + 1))
    fi
}

# Commands, and the options of each command.
expect "collect convert" co
expect "--help --version" --
expect "--verbose" --version --
expect "--bits --help --json --rate" info --
expect "--save-amplified --save-rejected --settings --stddev-high --stddev-low" collect --s
expect "--seconds" record out.wav --se
expect "--reverse" play a.wav --rev
# Values of options: fixed choices, in both spellings; folders; nothing for a number.
expect "16 8" record out.wav --bits ""
expect "0 1" ars save x.ars --always-max = ""
expect "sub" collect --out "$F/"
expect "" info --rate ""
# Files by what each argument takes: audio inputs, settings files, any name to write.
expect "a.wav b.FLAC d.txt sub" info "$F/"
expect "c.ars sub" ars show "$F/"
expect "c.ars sub" event "$F/a.wav" --settings "$F/"
expect "a.wav b.FLAC c.ars d.txt e.png sub" convert "$F/a.wav" "$F/"
expect "a.wav b.FLAC d.txt sub" collect "$F/a.wav" "$F/b.FLAC" "$F/"
# Which operand: option values are not operands, whichever way they are written.
expect "pcm spa spc" export ""
expect "pcm spa spc" export --fft 1024 ""
expect "pcm spa spc" export --fft=1024 --json ""
expect "a.wav b.FLAC d.txt sub" export spc --pos 10 "$F/"
expect "" info "$F/a.wav" ""
expect "" devices ""
# Sound devices: indices and names from the devices command, quoted for the shell.
expect "0 3 Field\\ rec default" record out.wav --device ""
expect "Field\\ rec" collect --live --output-device F

[ $failures -eq 0 ] && echo "all completions as expected"
exit $((failures > 0))
