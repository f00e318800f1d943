#!/bin/sh
# Builds the chip database loader's fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time, seeded with the built-in database
# chipdef.xml and the small documents of corpus/.
#   run_fuzz.sh SOURCE_DIR BUILD_DIR [SECONDS]
# Exit 0 when no fault was found, 1 on a fault (the input is kept in BUILD_DIR as crash-*,
# leak-*, timeout-* or oom-*), 77 when clang or its fuzzer runtime is missing (test skipped).
set -u
SRC=${1:?source folder}
OUT=${2:?build folder}
SECONDS_TO_RUN=${3:-20}
CXX=${FUZZ_CXX:-clang++}

if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "fuzz: $CXX not found; skipped"
    exit 77
fi
mkdir -p "$OUT" || exit 1
BIN="$OUT/chipdef_fuzz"
# Every source of the database engine: the sources of ChipDef itself (those that include its
# header) need the hardware layer and the compiled database, which the fuzz target does not use.
ENGINE=$(grep -L '#include "chipdef/ChipDef.h"' "$SRC"/src/chipdef/*.cpp)

# shellcheck disable=SC2086
if ! "$CXX" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
        -fno-sanitize-recover=undefined -I"$SRC/src" -I"$SRC/tests" -I"$SRC/tests/chipdef" \
        "$SRC/tests/chipdef/fuzz/ChipDefFuzz.cpp" $ENGINE \
        "$SRC/src/common/Assert.cpp" "$SRC/src/common/Numbers.cpp" \
        "$SRC/src/common/StrPool.cpp" "$SRC/src/common/Text.cpp" \
        -lexpat -o "$BIN" 2>"$OUT/build.log"; then
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
cp "$SRC/src/chipdef/chipdef.xml" "$WORK/chipdef.xml"
exec "$BIN" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -error_exitcode=1 -timeout_exitcode=1 -rss_limit_mb=2048 -max_len=65536 \
    -dict="$SRC/tests/chipdef/fuzz/chipdef.dict" -artifact_prefix="$OUT/" -print_final_stats=1 \
    "$WORK" "$SRC/tests/chipdef/fuzz/corpus"
