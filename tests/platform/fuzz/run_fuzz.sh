#!/bin/sh
# Builds the INI fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) over the chip library's sources and runs it for a bounded time,
# seeded with the small INI files of corpus/.
#   run_fuzz.sh SOURCE_DIR BUILD_DIR CHIP_DATABASE_CPP [SECONDS]
# Exit 0 when no fault was found, 1 on a fault (the input is kept in BUILD_DIR as crash-*,
# leak-*, timeout-* or oom-*), 77 when clang or its fuzzer runtime is missing (test skipped).
set -u
SRC=${1:?source folder}
OUT=${2:?build folder}
DATABASE=${3:?the compiled chip database}
SECONDS_TO_RUN=${4:-20}
CXX=${FUZZ_CXX:-clang++}

if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "fuzz: $CXX not found; skipped"
    exit 77
fi
mkdir -p "$OUT" || exit 1
BIN="$OUT/ini_fuzz"

# shellcheck disable=SC2086
if ! "$CXX" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
        -fno-sanitize-recover=undefined -I"$SRC/src" \
        "$SRC/tests/platform/fuzz/IniFuzz.cpp" "$DATABASE" \
        "$SRC"/src/platform/*.cpp "$SRC"/src/board/*.cpp "$SRC"/src/chipdef/*.cpp \
        "$SRC"/src/hcl/*.cpp "$SRC"/src/common/*.cpp \
        -lexpat -lpthread -o "$BIN" 2>"$OUT/build.log"; then
    if grep -q -e 'libclang_rt.fuzzer' -e 'cannot find -l' "$OUT/build.log"; then
        cat "$OUT/build.log"
        echo "fuzz: the fuzzer runtime is missing; skipped"
        exit 77
    fi
    cat "$OUT/build.log"
    exit 1
fi

# New inputs go to a scratch corpus, never into the source tree.
WORK="$OUT/corpus"
rm -rf "$WORK"
mkdir -p "$WORK"
exec "$BIN" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -error_exitcode=1 -timeout_exitcode=1 \
    -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$OUT/" -print_final_stats=1 \
    "$WORK" "$SRC/tests/platform/fuzz/corpus"
