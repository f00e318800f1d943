#!/bin/sh
# Runs one libFuzzer target (built by the asan preset as fuzz_NAME) for a bounded time over its
# committed seeds, starting from an empty scratch corpus each time.
#   fuzz_run.sh TARGET WORK SECONDS [libFuzzer options...] -- SEED...
# TARGET is the fuzz program, WORK its folder in the build tree (emptied corpus/ inside it, the
# run's log fuzz.log, and any saved input), SEED a folder of seed inputs or one seed file.
# The environment may change the run:
#   Q3V_FUZZ_SECONDS=S            run S seconds instead of SECONDS
#   Q3V_FUZZ_SEED=N Q3V_FUZZ_RUNS=M
#                                 run exactly M inputs from random seed N, with no time box:
#                                 the same N and M give the same run every time (a time box
#                                 cannot: how far a run gets depends on the machine's load)
# Exit 0 when no fault was found; 1 on a fault, the input kept in WORK as crash-*, leak-*,
# timeout-* or oom-* (replay it with the target's replay program, keep it by copying it into
# the target's regressions/ folder); 2 on a usage error.
set -u
if [ $# -lt 4 ]; then
    echo "usage: fuzz_run.sh TARGET WORK SECONDS [options...] -- SEED..." >&2
    exit 2
fi
target=$1
work=$2
seconds=${Q3V_FUZZ_SECONDS:-$3}
shift 3
options=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    options="$options $1"
    shift
done
[ $# -gt 0 ] && shift

# New inputs go into the scratch corpus, never into the source tree; seed files join it there,
# seed folders are read in place.
rm -rf "$work/corpus"
mkdir -p "$work/corpus" || exit 2
rm -f "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*
seeds=""
for seed in "$@"; do
    if [ -d "$seed" ]; then
        seeds="$seeds $seed"
    else
        cp "$seed" "$work/corpus/" || exit 2
    fi
done

if [ -n "${Q3V_FUZZ_SEED:-}" ] && [ -n "${Q3V_FUZZ_RUNS:-}" ]; then
    bound="-seed=$Q3V_FUZZ_SEED -runs=$Q3V_FUZZ_RUNS"
else
    bound="-max_total_time=$seconds"
fi
# A run is repeatable from its seed and its count of inputs when nothing else steers it: the
# corpus is not read again while it runs, and addresses (which compared pointers feed into the
# mutations) are the same each time, without address-space randomisation where that can be
# turned off.
fixed=""
if setarch "$(uname -m)" -R true 2>/dev/null; then
    fixed="setarch $(uname -m) -R "
fi
# libFuzzer is told to exit 1 on every fault: its own 77 and 70 would not read as failures.
command="$fixed$target $bound -reload=0 -timeout=10 -rss_limit_mb=2048 -error_exitcode=1"
command="$command -timeout_exitcode=1 -artifact_prefix=$work/ -print_final_stats=1$options"
command="$command $work/corpus$seeds"
echo "$command"
# shellcheck disable=SC2086
$command >"$work/fuzz.log" 2>&1
status=$?

seed=$(sed -n 's/^INFO: Seed: \([0-9]*\).*/\1/p' "$work/fuzz.log" | head -n 1)
runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$work/fuzz.log" | tail -n 1)
if [ $status -eq 0 ]; then
    echo "no fault: seed $seed, $runs inputs, $(ls "$work/corpus" | wc -l) in the corpus"
    echo "a run of that length that repeats exactly: Q3V_FUZZ_SEED=$seed Q3V_FUZZ_RUNS=$runs"
    # The readers' error lines fill the log: keep its end only.
    tail -n 200 "$work/fuzz.log" >"$work/fuzz.tail" && mv "$work/fuzz.tail" "$work/fuzz.log"
    exit 0
fi
echo "FAULT (seed $seed); the end of $work/fuzz.log:"
tail -n 60 "$work/fuzz.log"
for saved in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
    [ -f "$saved" ] && echo "saved input: $saved"
done
exit 1
