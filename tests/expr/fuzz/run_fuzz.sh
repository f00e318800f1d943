#!/bin/sh
# Builds the evaluator's fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time over the seed corpus.
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
# shellcheck disable=SC2046
fuzz_build "$OUT/expr_fuzz" "$SRC/tests/expr/fuzz/ExprFuzz.cpp" "$SRC"/src/expr/*.cpp \
    "$SRC/src/common/Assert.cpp" "$SRC/src/common/Numbers.cpp" \
    "$SRC/src/common/StrPool.cpp" "$SRC/src/common/Text.cpp"

fuzz_scratch_corpus
fuzz_run "$OUT/expr_fuzz" "$SRC/tests/expr/fuzz/corpus" -max_len=300 \
    -dict="$SRC/tests/expr/fuzz/expr.dict"
