#pragma once
// The AVI frame reader's operations on two small records: an open AVI file and its video stream
// with a frame decoder, over our own AVI file reader (AviRiff.h).
//
//     AviFile* file = nullptr;
//     AviVideo* video = nullptr;
//     if (AviOpen("clip.avi", &file) == kAviOk) {
//         if (AviOpenVideo(file, &video) == kAviOk) {
//             if (AviFrameOpen(video) == kAviOk) {
//                 std::vector<uint8_t> frame(size_t(video->Width) * 3 * std::abs(video->Height));
//                 AviGetFrame(video, frame.data());      // top line first, B, G, R
//                 AviFrameClose(video);
//             }
//             AviReleaseVideo(video);
//         }
//         AviClose(file);
//     }
//
// Results (ImageFile.h reports them as kImageAviBase + the code): 0 success, 1 no memory,
// 2 record not valid, 3 file open, 4 file information, 5 stream open, 6 stream information,
// 7 stream format (missing, or a frame size that is not one: width <= 0, height 0, an image
// above INT32_MAX bytes), 8 not 24 bits per pixel, 9 no decoder (only uncompressed frames are
// decoded), 10 decoder close, 11 frame read, 12 no stream, 13 no decoder open. Every failing
// call of the file reader is reported on standard error by AviReportError.
#include "imaging/AviRiff.h"

#include <cstdint>
#include <cstdio>

inline constexpr int32_t kAviOk = 0;
inline constexpr int32_t kAviNoMemory = 1;
inline constexpr int32_t kAviNotValid = 2;
inline constexpr int32_t kAviFileOpen = 3;
inline constexpr int32_t kAviFileInfo = 4;
inline constexpr int32_t kAviStreamOpen = 5;
inline constexpr int32_t kAviStreamInfo = 6;
inline constexpr int32_t kAviStreamFormat = 7;
inline constexpr int32_t kAviNot24Bits = 8;
inline constexpr int32_t kAviNoCodec = 9;
inline constexpr int32_t kAviDecoderClose = 10;
inline constexpr int32_t kAviFrameRead = 11;
inline constexpr int32_t kAviNoStream = 12;
inline constexpr int32_t kAviNoDecoder = 13;

struct AviFile {
    avifile::FileHandle* Handle;
    uint32_t Streams;
};

struct AviVideo {
    avifile::StreamHandle* Stream;
    avifile::Decoder* Decoder; // nullptr until AviFrameOpen
    uint32_t Valid;            // 1 once filled
    int32_t Width;
    int32_t Height;    // negative: the lines are stored top-down
    uint32_t Frames;   // the stream's length
    int32_t NextFrame; // read next by AviGetFrame
    uint32_t Handler;  // the codec's four-character code
};

int32_t AviOpen(const char* path, AviFile** out);
// The same over a FILE* the caller keeps open until AviClose.
int32_t AviOpenFile(FILE* file, AviFile** out);
void AviClose(AviFile* file);
int32_t AviOpenVideo(AviFile* file, AviVideo** out);
int32_t AviReleaseVideo(AviVideo* video);
int32_t AviFrameOpen(AviVideo* video);
int32_t AviFrameClose(AviVideo* video);
// Copies the next frame's lines into dest, top line first, without padding:
// Width * 3 * |Height| bytes.
int32_t AviGetFrame(AviVideo* video, uint8_t* dest);
// Bits per pixel of the decoded frames (frame 0), 0 when it cannot be had or is no multiple of 8.
uint32_t AviFrameBits(AviVideo* video);
int32_t AviGetNextFrame(const AviVideo* video);
void AviSetNextFrame(AviVideo* video, int32_t frame);
// "ERROR: VFW AVIFILE library returned error code 0x%x.\n" with the file reader's code, on
// standard error.
void AviReportError(int32_t code);
