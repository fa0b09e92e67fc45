#!/bin/bash
# Every command-line form with its exit status and where its words go: --help
# and --version to standard output with status 0, a wrong command line the
# usage forms on standard error with status 2 (before any window opens), and
# every option the help names documented in the manual page.
# Usage: command_line.sh EXECUTABLE MANUAL_PAGE
set -u
executable="$1"
manual="$2"
work="$(mktemp -d /tmp/umbrane-cli-XXXXXX)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# status | standard output | standard error | arguments; an output column is a
# grep pattern its first line must match, or "-" for empty. No DISPLAY: a form
# that wanted a window would fail with status 1 instead.
cases=(
    "0|^usage: umbrane \[--seed N\]$|-|--help"
    "0|^usage: umbrane \[--seed N\]$|-|-h"
    "0|^umbrane [0-9]+\.[0-9]+\.[0-9]+$|-|--version"
    "0|^# |-|--formats"
    "2|-|^usage: umbrane \[--seed N\]$|--bogus"
    "2|-|^usage: |--help --version"
    "2|-|^usage: |--version 1"
    "2|-|^usage: |--seed"
    "2|-|^usage: |--seed x7"
    "2|-|^usage: |--seed 4294967296"
    "2|-|^usage: |--verify"
    "2|-|^usage: |--rerecord $work/new.umbrec"
    "2|-|^usage: |--replay $work/none.umbrec --seed 3"
    "2|-|^usage: |--replay $work/none.umbrec --verify --rerecord $work/new.umbrec"
    "2|-|^usage: |--check a b"
    "2|-|^usage: |--formats x"
    "2|-|^usage: |--render-map only_one_file"
    "1|-|^Error: |--replay $work/none.umbrec --verify"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r status out err args <<<"$entry"
    # shellcheck disable=SC2086  # the arguments split at spaces
    env -u DISPLAY SDL_AUDIODRIVER=dummy "$executable" $args >"$work/out" 2>"$work/err" </dev/null
    actual=$?
    [ "$actual" = "$status" ] || fail "umbrane $args: status $actual, expected $status"
    for stream in out err; do
        want="$out"
        [ "$stream" = err ] && want="$err"
        if [ "$want" = - ]; then
            [ -s "$work/$stream" ] && fail "umbrane $args: wrote to standard $stream: $(head -n 1 "$work/$stream")"
        else
            head -n 1 "$work/$stream" | grep -Eq -- "$want" ||
                fail "umbrane $args: standard $stream starts \"$(head -n 1 "$work/$stream")\", expected /$want/"
        fi
    done
done

# The help names every usage form the wrong command line names, and the manual
# page every option the help names.
"$executable" --help >"$work/help"
"$executable" --bogus 2>"$work/usage"
grep -o 'umbrane --[a-z-]*' "$work/usage" | sort -u | while read -r _ option; do
    grep -q -- "$option" "$work/help" || echo "$option"
done >"$work/missing"
[ -s "$work/missing" ] && fail "the help lacks $(tr '\n' ' ' <"$work/missing")"
sed 's/\\//g' "$manual" >"$work/manual"  # roff's \- as -
for option in $(grep -o -- '--[a-z][a-z-]*' "$work/help" | sort -u); do
    grep -q -- "$option" "$work/manual" || fail "the manual page lacks $option"
done
for section in SYNOPSIS OPTIONS KEYS FILES ENVIRONMENT "EXIT STATUS"; do
    grep -q "^\.SH \"\?$section\"\?$" "$manual" || fail "the manual page has no $section"
done
if command -v man >/dev/null 2>&1; then
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "man warns: $warnings"
fi

[ "$failures" -eq 0 ] || exit 1
echo "command line: ${#cases[@]} forms: ok"
