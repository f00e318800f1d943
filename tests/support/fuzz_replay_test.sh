#!/bin/sh
# The replay driver (FuzzReplay.cpp) passes only when it fed every input whole: each way it
# could feed nothing, or less than the inputs hold, exits 2 and says why.
#   fuzz_replay_test.sh REPLAY      (REPLAY: any target's replay program)
# An unreadable input is made with mode 000; as root, which reads it anyway, the driver runs as
# the user nobody (setpriv) from a folder that user may enter. Exit 77 (skipped) as root
# without setpriv.
set -u
if [ $# -ne 1 ]; then
    echo "usage: fuzz_replay_test.sh REPLAY" >&2
    exit 2
fi
as_other=""
root=${TMPDIR:-/tmp}
if [ "$(id -u)" -eq 0 ]; then
    if ! command -v setpriv >/dev/null 2>&1; then
        echo "setpriv not found: the driver cannot run as another user; skipped"
        exit 77
    fi
    as_other="setpriv --reuid=65534 --regid=65534 --clear-groups"
    root=/tmp
fi
work=$(mktemp -d "$root/q3v-replay-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cp "$1" "$work/replay" || exit 1
mkdir "$work/seeds" "$work/empty"
printf '1+2' >"$work/seeds/one"
printf '3*4' >"$work/seeds/.hidden"
: >"$work/empty/.keep"
printf '5-6' >"$work/unreadable"
chmod 000 "$work/unreadable"

failures=0
# expect CODE TEXT ARGUMENT...: the driver over the arguments exits CODE and prints TEXT.
expect() {
    code=$1
    text=$2
    shift 2
    output=$($as_other "$work/replay" "$@" 2>&1)
    status=$?
    if [ $status -ne "$code" ] || ! printf '%s\n' "$output" | grep -qF -- "$text"; then
        echo "FAIL: replay $* exited $status, not $code with \"$text\":"
        printf '%s\n' "$output"
        failures=$((failures + 1))
    fi
}
# A folder's files, but not those whose names begin with ".".
expect 0 "replay: 1 inputs, no fault" "$work/seeds"
# A folder that holds nothing to feed.
expect 2 "replay: no inputs" "$work/empty"
# A seed folder that moved.
expect 2 "replay: '$work/missing' is neither a file nor a folder" "$work/seeds" "$work/missing"
# A file that cannot be read is never fed as an empty input.
expect 2 "replay: cannot read $work/unreadable" "$work/seeds" "$work/unreadable"
[ $failures -eq 0 ]
