#!/usr/bin/env bash
# Completes printdeck-cli command lines with the completion function and the
# real program behind it, and checks what is offered.
# Usage: completion_test.sh COMPLETION_SCRIPT PRINTDECK_CLI
set -uo pipefail
# shellcheck source=/dev/null
source "$1"
program=$2
status=0

# Completes the last word of the given line; the offers land in $offered.
complete_line() {
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _printdeck_cli
    offered=" ${COMPREPLY[*]} "
}

# expect_offer LINE... -- WORDS: every word is offered, and only those when
# the first word is "=".
check() {
    local words=() line=() exact=0
    while [ "$1" != "--" ]; do line+=("$1"); shift; done
    shift
    [ "${1:-}" = "=" ] && { exact=1; shift; }
    words=("$@")
    complete_line "${line[@]}"
    for w in "${words[@]}"; do
        [[ $offered == *" $w "* ]] || { echo "FAIL: '${line[*]}' does not offer $w (offered:$offered)"; status=1; }
    done
    if [ $exact = 1 ] && [ "${#COMPREPLY[@]}" != "${#words[@]}" ]; then
        echo "FAIL: '${line[*]}' offers$offered, expected only ${words[*]}"
        status=1
    fi
}

check settings set Den -- = Density=
check settings set bt -- = BtSecurity= BtConnMode= BtPin= BtName=
check --port ttyUSB0 settings set Time -- = TimeOff= TimeSave=
check settings set Density=7 Time -- = TimeOff= TimeSave=
check "" -- identify ports settings nv prn firmware doctor --port --version
check prn "" -- = show send --help
check prn show x.prn --j -- = --json
check settings "" -- = get set diff default --help
check nv "" -- = list download print delete save --help
check nv print - -- --all --port
check nv download logo.bmp --a -- = --auto --address
check --parity "" -- = none odd even
check --port ttyUSB0 --flow d -- = dtr-dsr
check --port NE -- = NET
check doctor --j -- = --json
check ports --j -- = --json
check identify --j -- = --json
check nv list --j -- = --json
check settings diff --j -- = --json

# Every port string the program lists is offered after --port.
ports=$("$program" ports | awk '$1 == "--port" && $2 !~ /^NET/ { print $2 }')
# shellcheck disable=SC2086  # one word per port
check --port "" -- NET $ports

exit $status
