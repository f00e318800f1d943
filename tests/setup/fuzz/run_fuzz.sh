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
. "$SRC/tests/support/fuzz_common.sh"

fuzz_need_compiler
mkdir -p "$OUT/gen/setup/core" "$OUT/gen/chipdef" || exit 1
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
       $SRC/src/setup/core/UIFeaturesDescription.cpp $SRC/src/setup/core/DebugTrace.cpp
       $SRC/src/setup/core/TextFormat.cpp"
# shellcheck disable=SC2086
fuzz_build "$OUT/uifeatures_fuzz" -I"$SRC/tests" -I"$SRC/tests/chipdef" \
    "$SRC/tests/setup/fuzz/UIFeaturesFuzz.cpp" $MODEL $ENGINE "$SRC"/src/expr/*.cpp \
    "$OUT/gen/ChipDefXml.cpp" "$OUT/gen/UIFeaturesXml.cpp" \
    "$SRC/src/common/Assert.cpp" "$SRC/src/common/Numbers.cpp" \
    "$SRC/src/common/StrPool.cpp" "$SRC/src/common/Text.cpp" "$SRC/src/common/Tree.cpp" -lexpat

# The seed is the shipped description, a NUL, and the shipped panel templates.
fuzz_scratch_corpus
sed 's/FILE="panels.xml"/FILE="t.xml"/' "$SRC/src/setup/uifeatures.xml" >"$OUT/corpus/shipped"
printf '\000' >>"$OUT/corpus/shipped"
cat "$SRC/src/setup/templates/panels.xml" >>"$OUT/corpus/shipped"
fuzz_run "$OUT/uifeatures_fuzz" "$SRC/tests/setup/fuzz/corpus" -max_len=65536 \
    -dict="$SRC/tests/setup/fuzz/uifeatures.dict"
