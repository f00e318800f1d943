#!/bin/sh
# Builds the image-file fuzz targets (BMP, PPM/PGM, AVI) with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer), makes their seeds with ImageMagick, netpbm and GStreamer, and
# runs each for a bounded time.
#   run_fuzz.sh SOURCE_DIR BUILD_DIR [SECONDS]
# Exit 0 when no fault was found, 1 on a fault (the input is kept in BUILD_DIR as crash-*,
# leak-*, timeout-* or oom-*, the run's output in BUILD_DIR/<target>.log), 77 when clang or its
# fuzzer runtime is missing (test skipped).
set -u
SRC=${1:?source folder}
OUT=${2:?build folder}
SECONDS_TO_RUN=${3:-20}
CXX=${FUZZ_CXX:-clang++}
KERNEL_CXX=${FUZZ_KERNEL_CXX:-g++}

if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "fuzz: $CXX not found; skipped"
    exit 77
fi
mkdir -p "$OUT/obj" || exit 1
FLAGS="-std=c++20 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -I$SRC/src"

compile() { # compile OBJECT SOURCE [extra flags]
    obj=$1
    src=$2
    shift 2
    # shellcheck disable=SC2086
    "$CXX" $FLAGS -fsanitize=fuzzer-no-link "$@" -c "$src" -o "$obj" 2>>"$OUT/build.log"
}

# The imaging library and the parts of common it needs; the row kernels twice, as the build does.
: >"$OUT/build.log"
OBJECTS=""
for f in "$SRC"/src/imaging/*.cpp "$SRC/src/common/Assert.cpp" "$SRC/src/common/Text.cpp" \
         "$SRC/src/common/StrPool.cpp" "$SRC/src/common/Numbers.cpp"; do
    name=$(basename "$f" .cpp)
    case $name in
    KernelsRgb | KernelsYuv | KernelsColour | KernelList)
        for variant in baseline avx2; do
            extra=""
            [ $variant = avx2 ] && extra="-mavx2"
            # The row kernels use GCC's vector builtins: built by g++, without instrumentation
            # (they are the converter's, not the readers' code under test).
            # shellcheck disable=SC2086
            "$KERNEL_CXX" -std=c++20 -g -O2 -I"$SRC/src" -DQ3V_KERNEL_VARIANT=kernels_$variant \
                $extra -c "$f" -o "$OUT/obj/$name-$variant.o" 2>>"$OUT/build.log" ||
                { cat "$OUT/build.log"; exit 1; }
            OBJECTS="$OBJECTS $OUT/obj/$name-$variant.o"
        done
        ;;
    *)
        compile "$OUT/obj/$name.o" "$f" || { cat "$OUT/build.log"; exit 1; }
        OBJECTS="$OBJECTS $OUT/obj/$name.o"
        ;;
    esac
done
for target in BmpFuzz PnmFuzz AviFuzz; do
    # shellcheck disable=SC2086
    if ! "$CXX" $FLAGS -fsanitize=fuzzer -I"$SRC/tests/imaging/fuzz" \
            "$SRC/tests/imaging/fuzz/$target.cpp" $OBJECTS -o "$OUT/$target" 2>>"$OUT/build.log"; then
        cat "$OUT/build.log"
        if grep -q -e 'libclang_rt.fuzzer' -e 'cannot find -l' "$OUT/build.log"; then
            echo "fuzz: the fuzzer runtime is missing; skipped"
            exit 77
        fi
        exit 1
    fi
done

# Seeds made by the independent tools from small pictures; new inputs stay in the build folder.
SEEDS="$OUT/seeds"
rm -rf "$SEEDS" "$OUT/corpus"
mkdir -p "$SEEDS/bmp" "$SEEDS/pnm" "$SEEDS/avi" "$OUT/corpus/bmp" "$OUT/corpus/pnm" \
    "$OUT/corpus/avi"
(
    cd "$SEEDS" || exit 1
    export GST_REGISTRY="$SEEDS/gst-registry.bin"
    printf 'P6\n5 3\n255\n' >src.ppm
    head -c 45 /dev/urandom >>src.ppm
    IM=convert-im6.q16
    if command -v $IM >/dev/null 2>&1; then
        $IM src.ppm BMP3:bmp/24.bmp
        $IM src.ppm BMP:bmp/v5.bmp
        $IM src.ppm -alpha set BMP:bmp/32.bmp
        $IM src.ppm -define bmp:subtype=RGB565 BMP:bmp/565.bmp
        $IM src.ppm -colors 8 -type Palette -compress none BMP3:bmp/8.bmp
        $IM src.ppm -compress none pnm/plain.ppm
        $IM src.ppm -colorspace gray -compress none pnm/plain.pgm
        $IM src.ppm -depth 16 pnm/16.ppm
    fi
    cp src.ppm pnm/
    if command -v pamdepth >/dev/null 2>&1; then
        pamdepth 15 src.ppm >pnm/15.ppm
        ppmtobmp -bpp 8 src.ppm >bmp/netpbm8.bmp
    fi
    if command -v gst-launch-1.0 >/dev/null 2>&1; then
        gst-launch-1.0 -q videotestsrc num-buffers=2 ! video/x-raw,format=BGR,width=16,height=16 \
            ! avimux ! filesink location=avi/24.avi
        gst-launch-1.0 -q videotestsrc num-buffers=1 ! video/x-raw,width=16,height=16 \
            ! jpegenc ! avimux ! filesink location=avi/mjpg.avi
    fi
) >"$OUT/seeds.log" 2>&1

STATUS=0
for pair in BmpFuzz:bmp PnmFuzz:pnm AviFuzz:avi; do
    target=${pair%%:*}
    kind=${pair#*:}
    if "$OUT/$target" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2048 \
            -max_len=20000 -error_exitcode=1 -artifact_prefix="$OUT/$target-" \
            -print_final_stats=1 "$OUT/corpus/$kind" "$SEEDS/$kind" >"$OUT/$target.log" 2>&1; then
        echo "$target: no fault in $SECONDS_TO_RUN s; $(ls "$OUT/corpus/$kind" | wc -l) new inputs"
        # The readers' error lines fill the log: keep its end only.
        tail -n 200 "$OUT/$target.log" >"$OUT/$target.tail" && mv "$OUT/$target.tail" "$OUT/$target.log"
    else
        echo "$target: FAULT"
        grep -v '^ERROR: VFW' "$OUT/$target.log" | tail -60
        STATUS=1
    fi
done
exit $STATUS
