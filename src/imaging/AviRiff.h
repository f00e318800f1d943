#pragma once
// Our own reader of AVI files (RIFF "AVI "), shaped like the video-file library that the frame
// reader (AviWin.h) was written against: a file with its information, its streams with their
// information and format, and a frame decoder that hands out each frame as a packed bitmap
// (a 40-byte bitmap information header, then the lines as stored, each padded to 4 bytes).
//
//     avifile::FileHandle* file = nullptr;
//     if (avifile::FileOpen(&file, "clip.avi") == avifile::kOk) {
//         avifile::StreamHandle* video = nullptr;
//         if (avifile::FileGetStream(file, &video, avifile::kStreamVideo, 0) == avifile::kOk) {
//             avifile::Decoder* decoder = avifile::StreamGetFrameOpen(video);
//             const uint8_t* bitmap = avifile::StreamGetFrame(decoder, 0);   // nullptr: failed
//             avifile::StreamGetFrameClose(decoder);
//             avifile::StreamRelease(video);
//         }
//         avifile::FileRelease(file);   // 0: nothing holds the file any more
//     }
//
// What is read: "avih" (the number of streams), the first "strl" whose "strh" says "vids" (its
// handler and length) with its "strf" bitmap header, and the frame chunks "NNdb" / "NNdc" of that
// stream (NN its number) found by walking "movi" and the lists nested in it; "JUNK" and every
// other chunk are skipped, odd sizes padded, "idx1" not needed. A chunk whose size passes the
// end of its list or of the file ends the walk: the frames before it remain readable. The
// decoder takes uncompressed (BI_RGB) 24- and 32-bit frames only.
//
// A stream holds a reference to its file and a decoder one to its stream; the release calls
// return the count that remains. Results (also printed by AviReportError):
//   0x0000 kOk             success
//   0x0101 kErrOpen        the file cannot be opened
//   0x0102 kErrRead        a read or seek failed
//   0x0103 kErrNotAvi      not a RIFF "AVI " file, or no "avih" header
//   0x0104 kErrNoStream    no stream of that type and number
//   0x0105 kErrNoMemory    out of memory
//   0x0106 kErrBadFormat   the stream's format is missing or too short
//   0x0107 kErrBadArgument a null handle or a buffer too small
#include <cstdint>
#include <cstdio>

namespace avifile {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kErrOpen = 0x101;
inline constexpr int32_t kErrRead = 0x102;
inline constexpr int32_t kErrNotAvi = 0x103;
inline constexpr int32_t kErrNoStream = 0x104;
inline constexpr int32_t kErrNoMemory = 0x105;
inline constexpr int32_t kErrBadFormat = 0x106;
inline constexpr int32_t kErrBadArgument = 0x107;

// Four-character codes, first character in the lowest byte.
constexpr uint32_t FourCc(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 |
           uint32_t(uint8_t(code[2])) << 16 | uint32_t(uint8_t(code[3])) << 24;
}
inline constexpr uint32_t kStreamVideo = FourCc("vids");

struct FileHandle;
struct StreamHandle;
struct Decoder;

struct FileInformation {
    uint32_t Streams; // from "avih"
};

struct StreamInformation {
    uint32_t Type;    // "vids" for video
    uint32_t Handler; // the codec's four-character code
    uint32_t Length;  // frames, from "strh"
};

// Library start and end; every other call works between them.
void Init();
void Exit();

int32_t FileOpen(FileHandle** out, const char* path);
// The same over a file the caller opened and keeps open until FileRelease has ended the handle.
int32_t FileOpenStream(FileHandle** out, FILE* file);
int32_t FileInfo(FileHandle* file, FileInformation* info);
// Drops the caller's reference; returns the references that remain (streams still open).
uint32_t FileRelease(FileHandle* file);
// The index-th stream of type; the stream holds a reference to the file.
int32_t FileGetStream(FileHandle* file, StreamHandle** out, uint32_t type, int32_t index);

int32_t StreamInfo(StreamHandle* stream, StreamInformation* info);
// The format at position (the bitmap header of a video): with format nullptr only *size is set,
// else *size bytes at most are copied and *size becomes the count copied.
int32_t StreamReadFormat(StreamHandle* stream, int32_t position, void* format, int32_t* size);
uint32_t StreamRelease(StreamHandle* stream);

// A decoder of the stream's frames (nullptr when the format is not uncompressed 24 or 32 bits).
Decoder* StreamGetFrameOpen(StreamHandle* stream);
// Frame number frame as a packed bitmap, valid until the next call or the close; nullptr for a
// negative number, a frame past the chunks or a chunk shorter than the frame's lines.
const uint8_t* StreamGetFrame(Decoder* decoder, int32_t frame);
int32_t StreamGetFrameClose(Decoder* decoder);

} // namespace avifile
