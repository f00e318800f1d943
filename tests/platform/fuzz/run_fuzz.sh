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
. "$SRC/tests/support/fuzz_common.sh"

fuzz_need_compiler
fuzz_build "$OUT/ini_fuzz" "$SRC/tests/platform/fuzz/IniFuzz.cpp" "$DATABASE" \
    "$SRC"/src/platform/*.cpp "$SRC"/src/devices/*.cpp "$SRC"/src/board/*.cpp "$SRC"/src/chipdef/*.cpp \
    "$SRC"/src/hcl/*.cpp "$SRC"/src/common/*.cpp -lexpat -lpthread

fuzz_scratch_corpus
fuzz_run "$OUT/ini_fuzz" "$SRC/tests/platform/fuzz/corpus" -max_len=65536
