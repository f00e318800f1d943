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
. "$SRC/tests/support/fuzz_common.sh"

fuzz_need_compiler
# Every source of the database engine: the sources of ChipDef itself (those that include its
# header) need the hardware layer and the compiled database, which the fuzz target does not use.
ENGINE=$(grep -L '#include "chipdef/ChipDef.h"' "$SRC"/src/chipdef/*.cpp)
# shellcheck disable=SC2086
fuzz_build "$OUT/chipdef_fuzz" -I"$SRC/tests" -I"$SRC/tests/chipdef" \
    "$SRC/tests/chipdef/fuzz/ChipDefFuzz.cpp" $ENGINE \
    "$SRC/src/common/Assert.cpp" "$SRC/src/common/Numbers.cpp" \
    "$SRC/src/common/StrPool.cpp" "$SRC/src/common/Text.cpp" -lexpat

fuzz_scratch_corpus
cp "$SRC/src/chipdef/chipdef.xml" "$OUT/corpus/chipdef.xml"
fuzz_run "$OUT/chipdef_fuzz" "$SRC/tests/chipdef/fuzz/corpus" -max_len=65536 \
    -dict="$SRC/tests/chipdef/fuzz/chipdef.dict"
