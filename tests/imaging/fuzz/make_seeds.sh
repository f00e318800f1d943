#!/bin/sh
# Makes the seed corpus of the image readers' fuzz targets with independent tools (ImageMagick,
# netpbm, GStreamer) from one small picture, into corpus/bmp, corpus/pnm and corpus/avi beside
# this script. Run once by hand; the files are committed and the runs only read them.
#   make_seeds.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$here/corpus/bmp" "$here/corpus/pnm" "$here/corpus/avi"
cd "$work"
export GST_REGISTRY="$work/gst-registry.bin"

# A 5x3 picture of fixed colours (odd width: every BMP row is padded).
printf 'P6\n5 3\n255\n' >src.ppm
printf '\377\000\000\000\377\000\000\000\377\377\377\377\000\000\000' >>src.ppm
printf '\200\100\040\020\010\004\377\200\000\000\200\377\177\177\177' >>src.ppm
printf '\001\002\003\375\376\377\012\015\011\100\200\300\060\061\062' >>src.ppm

IM=convert-im6.q16
$IM src.ppm BMP3:"$here/corpus/bmp/im-24.bmp"
$IM src.ppm BMP:"$here/corpus/bmp/im-v5.bmp"
$IM src.ppm -alpha set BMP:"$here/corpus/bmp/im-32.bmp"
$IM src.ppm -define bmp:subtype=RGB565 BMP:"$here/corpus/bmp/im-565.bmp"
$IM src.ppm -colors 8 -type Palette -compress none BMP3:"$here/corpus/bmp/im-8.bmp"
ppmtobmp -bpp 8 src.ppm >"$here/corpus/bmp/netpbm-8.bmp"
ppmtobmp -bpp 24 src.ppm >"$here/corpus/bmp/netpbm-24.bmp"

cp src.ppm "$here/corpus/pnm/raw.ppm"
$IM src.ppm -compress none "$here/corpus/pnm/im-plain.ppm"
$IM src.ppm -colorspace gray -compress none "$here/corpus/pnm/im-plain.pgm"
$IM src.ppm -colorspace gray "$here/corpus/pnm/im-raw.pgm"
$IM src.ppm -depth 16 "$here/corpus/pnm/im-16.ppm"
pamdepth 15 src.ppm >"$here/corpus/pnm/netpbm-15.ppm"

# avimux takes 16x16 at the least.
gst-launch-1.0 -q videotestsrc num-buffers=2 ! video/x-raw,format=BGR,width=16,height=16 \
    ! avimux ! filesink location="$here/corpus/avi/gst-bgr.avi"
gst-launch-1.0 -q videotestsrc num-buffers=1 ! video/x-raw,format=BGRx,width=16,height=16 \
    ! avimux ! filesink location="$here/corpus/avi/gst-bgrx.avi"
gst-launch-1.0 -q videotestsrc num-buffers=1 ! video/x-raw,width=16,height=16 \
    ! jpegenc ! avimux ! filesink location="$here/corpus/avi/gst-mjpg.avi"
