#!/bin/sh
# Builds the UI description and template loader's fuzz target with clang (libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs it for a bounded time, seeded with
# the shipped description and panel templates and the documents of corpus/.
#   run_fuzz.sh SOURCE_DIR BUILD_DIR [SECONDS]
# Exit 0 when no fault was found, 1 on a fault (the input is kept in BUILD_DIR as crash-*,
# leak-*, timeout-* or oom-*), 77 when clang or its fuzzer runtime is missing (test skipped).
set -u
SRC=${1:?source folder}
OUT=${2:?build folder}
SECONDS_TO_RUN=${3:-20}
CXX=${FUZZ_CXX:-clang++}
PYTHON=${PYTHON:-python3}

if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "fuzz: $CXX not found; skipped"
    exit 77
fi
mkdir -p "$OUT/gen/setup/core" "$OUT/gen/chipdef" || exit 1
BIN="$OUT/uifeatures_fuzz"
EMBED="$SRC/src/chipdef/embed_lines.py"
"$PYTHON" "$EMBED" "$SRC/src/chipdef/chipdef.xml" "$OUT/gen/ChipDefXml.cpp" ChipDefXml \
    ChipDefXmlLineCount chipdef/ChipDefXml.h || exit 1
"$PYTHON" "$EMBED" "$SRC/src/setup/uifeatures.xml" "$OUT/gen/UIFeaturesXml.cpp" UIFeaturesXml \
    UIFeaturesXmlLineCount setup/core/UIFeaturesXml.h || exit 1
# The database engine without ChipDef itself (which needs the hardware layer), the feature
# model, the evaluator and the common pieces they use.
ENGINE=$(grep -L '#include "chipdef/ChipDef.h"' "$SRC"/src/chipdef/*.cpp)
MODEL="$SRC/src/setup/core/UIFeatures.cpp $SRC/src/setup/core/UIFeaturesLoader.cpp
       $SRC/src/setup/core/UIFeaturesTemplates.cpp $SRC/src/setup/core/UIFeaturesResolver.cpp
       $SRC/src/setup/core/UIFeaturesDescription.cpp"

# shellcheck disable=SC2086
if ! "$CXX" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
        -fno-sanitize-recover=undefined -I"$SRC/src" -I"$SRC/tests" -I"$SRC/tests/chipdef" \
        "$SRC/tests/setup/fuzz/UIFeaturesFuzz.cpp" $MODEL $ENGINE "$SRC"/src/expr/*.cpp \
        "$OUT/gen/ChipDefXml.cpp" "$OUT/gen/UIFeaturesXml.cpp" \
        "$SRC/src/common/Assert.cpp" "$SRC/src/common/Numbers.cpp" \
        "$SRC/src/common/StrPool.cpp" "$SRC/src/common/Text.cpp" "$SRC/src/common/Tree.cpp" \
        -lexpat -o "$BIN" 2>"$OUT/build.log"; then
    if grep -q -e 'libclang_rt.fuzzer' -e 'cannot find -l' "$OUT/build.log"; then
        cat "$OUT/build.log"
        echo "fuzz: the fuzzer runtime is missing; skipped"
        exit 77
    fi
    cat "$OUT/build.log"
    exit 1
fi

# New inputs go to a scratch corpus, never into the source tree. The seed is the shipped
# description, a NUL, and the shipped panel templates.
WORK="$OUT/corpus"
rm -rf "$WORK"
mkdir -p "$WORK"
sed 's/FILE="panels.xml"/FILE="t.xml"/' "$SRC/src/setup/uifeatures.xml" >"$WORK/shipped"
printf '\000' >>"$WORK/shipped"
cat "$SRC/src/setup/templates/panels.xml" >>"$WORK/shipped"
exec "$BIN" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -error_exitcode=1 -timeout_exitcode=1 -rss_limit_mb=2048 -max_len=65536 \
    -dict="$SRC/tests/setup/fuzz/uifeatures.dict" -artifact_prefix="$OUT/" -print_final_stats=1 \
    "$WORK" "$SRC/tests/setup/fuzz/corpus"
