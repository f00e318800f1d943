# What the fuzz scripts share, sourced after they set SRC, OUT, SECONDS_TO_RUN and CXX:
#   fuzz_need_compiler              exit 77 (test skipped) when $CXX is missing
#   fuzz_build BIN ARGS...          compiles and links a libFuzzer target with AddressSanitizer
#                                   and UndefinedBehaviorSanitizer; ARGS are include flags,
#                                   sources and libraries. Exits 77 when the fuzzer runtime is
#                                   missing, 1 when the build fails (the log is printed).
#   fuzz_scratch_corpus             empties $OUT/corpus: new inputs go there, never into the
#                                   source tree
#   fuzz_run BIN SEEDS [FLAGS...]   runs the target for $SECONDS_TO_RUN seconds over the scratch
#                                   corpus and SEEDS; a fault (crash, leak, timeout or running
#                                   out of memory) exits 1 and keeps the input in $OUT. libFuzzer
#                                   is told to exit 1, since its own 77 would read as a skip.

fuzz_need_compiler() {
    if ! command -v "$CXX" >/dev/null 2>&1; then
        echo "fuzz: $CXX not found; skipped"
        exit 77
    fi
    mkdir -p "$OUT" || exit 1
}

fuzz_build() {
    bin=$1
    shift
    if ! "$CXX" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
            -fno-sanitize-recover=undefined -I"$SRC/src" "$@" -o "$bin" 2>"$OUT/build.log"; then
        cat "$OUT/build.log"
        if grep -q -e 'libclang_rt.fuzzer' -e 'cannot find -l' "$OUT/build.log"; then
            echo "fuzz: the fuzzer runtime is missing; skipped"
            exit 77
        fi
        exit 1
    fi
}

fuzz_scratch_corpus() {
    rm -rf "$OUT/corpus"
    mkdir -p "$OUT/corpus" || exit 1
}

fuzz_run() {
    bin=$1
    seeds=$2
    shift 2
    exec "$bin" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -error_exitcode=1 \
        -timeout_exitcode=1 -rss_limit_mb=2048 -artifact_prefix="$OUT/" -print_final_stats=1 \
        "$@" "$OUT/corpus" "$seeds"
}
