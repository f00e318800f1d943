// The AVI frame reader: videos made by GStreamer (24-bit bottom-up frames with padded lines,
// 32-bit frames, MJPG) read frame by frame to their source frames or to their codes, and small
// files written by the test for what no tool makes (top-down frames, nested lists, chunks that
// are short or pass their list).
#include "ImageFileTestSupport.h"

#include "common/ByteOrder.h"
#include "imaging/AviWin.h"
#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace imagetest;

namespace {

constexpr int32_t kRowRgb = 19;
constexpr int32_t kRowBgr = 20;
constexpr int32_t kWidth = 17;
constexpr int32_t kHeight = 16;
constexpr int32_t kFrames = 10;
constexpr size_t kFrameBytes = size_t(kWidth) * kHeight * 3;

// Ten random frames of B, G, R samples, top line first, made into AVI files by GStreamer.
class AviFromGStreamer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_Folder = new ToolFolder;
        s_Frames = RandomPicture(kWidth, kHeight * kFrames, 3, 5);
        // rawvideoparse takes lines padded to 4 bytes.
        std::vector<uint8_t> padded;
        std::vector<uint8_t> padded32;
        for (int32_t line = 0; line < kHeight * kFrames; ++line) {
            const auto* p = &s_Frames.Samples[size_t(line) * kWidth * 3];
            padded.insert(padded.end(), p, p + kWidth * 3);
            padded.push_back(0);
            for (int32_t x = 0; x < kWidth; ++x) {
                padded32.insert(padded32.end(), {p[3 * x], p[3 * x + 1], p[3 * x + 2], 0});
            }
        }
        WriteBytes(s_Folder->Path("frames.bgr"), padded);
        WriteBytes(s_Folder->Path("frames.bgrx"), padded32);
        const std::string size = " width=17 height=16 ! avimux ! filesink location=";
        s_Made = s_Folder->Run("gst-launch-1.0 -q filesrc location=frames.bgr ! rawvideoparse "
                               "format=bgr" +
                               size + "v24.avi") &&
                 s_Folder->Run("gst-launch-1.0 -q filesrc location=frames.bgrx ! rawvideoparse "
                               "format=bgrx" +
                               size + "v32.avi") &&
                 s_Folder->Run("gst-launch-1.0 -q videotestsrc num-buffers=3 ! "
                               "video/x-raw,width=32,height=16 ! jpegenc ! avimux ! "
                               "filesink location=mjpg.avi");
    }
    static void TearDownTestSuite() {
        delete s_Folder;
        s_Folder = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_Made) << "gst-launch-1.0 failed"; }
    void TearDown() override { EXPECT_EQ(m_Asserts.Count(), 0u); }

    static std::string Path(const char* name) { return s_Folder->Path(name); }
    // Frame k of the source, B, G, R, top line first.
    static std::vector<uint8_t> SourceFrame(int32_t k) {
        const auto begin = s_Frames.Samples.begin() + std::ptrdiff_t(k * kFrameBytes);
        return {begin, begin + std::ptrdiff_t(kFrameBytes)};
    }
    // Reads count frames from position in R888.B-G-R into count + 1 slots (the last one must
    // stay untouched).
    static IMAGE_ERROR Read(const std::string& path, int32_t position, int32_t count,
                            std::vector<std::vector<uint8_t>>* frames) {
        std::vector<uint8_t> buffer(kFrameBytes * size_t(count + 1), 0xA5);
        const IMAGE_ERROR code =
            ImageReadAvi(path.c_str(), buffer.data(), kRowBgr, 0, position, count);
        frames->clear();
        for (int32_t k = 0; k <= count; ++k) {
            const auto begin = buffer.begin() + std::ptrdiff_t(k * kFrameBytes);
            frames->emplace_back(begin, begin + std::ptrdiff_t(kFrameBytes));
        }
        return code;
    }

    AssertRecorder m_Asserts;
    static inline ToolFolder* s_Folder = nullptr;
    static inline Picture s_Frames;
    static inline bool s_Made = false;
};

TEST_F(AviFromGStreamer, ProbeGivesFrameSizeLengthAndCodec) {
    unsigned width = 0;
    unsigned height = 0;
    ImageInfo info{};
    ASSERT_EQ(ImageProbe(Path("v24.avi").c_str(), &width, &height, &info), kImageOk);
    EXPECT_EQ(width, unsigned(kWidth));
    EXPECT_EQ(height, unsigned(kHeight));
    EXPECT_EQ(info.Frames, unsigned(kFrames));
    ASSERT_EQ(ImageProbe(Path("mjpg.avi").c_str(), &width, &height, &info), kImageOk);
    EXPECT_EQ(width, 32u);
    EXPECT_STREQ(info.Codec, "MJPG");
    EXPECT_EQ(info.Frames, 3u);
    // A stream that is not 24 bits per pixel cannot be opened for the probe either.
    testing::internal::CaptureStderr();
    EXPECT_EQ(ImageProbe(Path("v32.avi").c_str(), &width, &height, &info), kImageFileRead);
    testing::internal::GetCapturedStderr();
}

TEST_F(AviFromGStreamer, EveryFrameReadsToItsSource) {
    std::vector<std::vector<uint8_t>> frames;
    for (int32_t k = 0; k < kFrames; ++k) {
        ASSERT_EQ(Read(Path("v24.avi"), k, 1, &frames), kImageOk);
        EXPECT_EQ(frames[0], SourceFrame(k)) << "frame " << k;
    }
    // All at once, converted to R, G, B.
    std::vector<uint8_t> rgb(kFrameBytes * kFrames);
    ASSERT_EQ(ImageReadAvi(Path("v24.avi").c_str(), rgb.data(), kRowRgb, 0, 0, kFrames), kImageOk);
    for (size_t p = 0; p < rgb.size(); p += 3) {
        ASSERT_EQ(rgb[p], s_Frames.Samples[p + 2]);
        ASSERT_EQ(rgb[p + 2], s_Frames.Samples[p]);
    }
}

TEST_F(AviFromGStreamer, RunsAreCutToTheVideoAndStartAgainAtZero) {
    std::vector<std::vector<uint8_t>> frames;
    // 15 frames from 0 of 10: 10 frames.
    ASSERT_EQ(Read(Path("v24.avi"), 0, 15, &frames), kImageOk);
    EXPECT_EQ(frames[9], SourceFrame(9));
    EXPECT_EQ(frames[10], std::vector<uint8_t>(kFrameBytes, 0xA5));
    // 4 from 8: past the end, so frames 0 to 3.
    ASSERT_EQ(Read(Path("v24.avi"), 8, 4, &frames), kImageOk);
    for (int32_t k = 0; k < 4; ++k) {
        EXPECT_EQ(frames[size_t(k)], SourceFrame(k));
    }
    // 3 from 5: frames 5, 6, 7.
    ASSERT_EQ(Read(Path("v24.avi"), 5, 3, &frames), kImageOk);
    for (int32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(frames[size_t(k)], SourceFrame(5 + k));
    }
    EXPECT_EQ(frames[3], std::vector<uint8_t>(kFrameBytes, 0xA5));
    // A negative position is no frame.
    EXPECT_EQ(Read(Path("v24.avi"), -2, 1, &frames), kImageAviBase + kAviFrameRead);
}

TEST_F(AviFromGStreamer, NextFrameFollowsTheFramesRead) {
    AviFile* file = nullptr;
    AviVideo* video = nullptr;
    ASSERT_EQ(AviOpen(Path("v24.avi").c_str(), &file), kAviOk);
    ASSERT_EQ(AviOpenVideo(file, &video), kAviOk);
    ASSERT_EQ(AviFrameOpen(video), kAviOk);
    EXPECT_EQ(AviFrameBits(video), 24u);
    AviSetNextFrame(video, 5);
    std::vector<uint8_t> frame(kFrameBytes);
    for (int32_t k = 5; k < 8; ++k) {
        ASSERT_EQ(AviGetFrame(video, frame.data()), kAviOk);
        EXPECT_EQ(frame, SourceFrame(k));
    }
    EXPECT_EQ(AviGetNextFrame(video), 8);
    AviSetNextFrame(video, kFrames);
    EXPECT_EQ(AviGetFrame(video, frame.data()), kAviFrameRead);
    EXPECT_EQ(AviFrameClose(video), kAviOk);
    EXPECT_EQ(AviGetFrame(video, frame.data()), kAviNoDecoder);
    EXPECT_EQ(AviReleaseVideo(video), kAviOk);
    AviClose(file);
}

TEST_F(AviFromGStreamer, OtherDepthsAndCodecsGetTheirCodes) {
    std::vector<std::vector<uint8_t>> frames;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read(Path("v32.avi"), 0, 1, &frames), kImageAviBase + kAviNot24Bits);
    testing::internal::GetCapturedStderr();
    std::vector<uint8_t> buffer(32 * 16 * 3);
    EXPECT_EQ(ImageReadAvi(Path("mjpg.avi").c_str(), buffer.data(), kRowBgr, 0, 0, 1),
              kImageAviBase + kAviNoCodec);
    EXPECT_STREQ(ImageErrorText(kImageAviBase + kAviNoCodec), "No codec");
}

TEST_F(AviFromGStreamer, AMissingFileIsReportedOnStandardError) {
    std::vector<std::vector<uint8_t>> frames;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read(Path("missing.avi"), 0, 1, &frames), kImageAviBase + kAviFileOpen);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR: VFW AVIFILE library returned error code 0x101.\n");
    EXPECT_STREQ(ImageErrorText(kImageAviBase + kAviFileOpen), "File open");
}

TEST_F(AviFromGStreamer, ATruncatedFileReadsTheFramesItHolds) {
    std::vector<uint8_t> bytes = ReadFileBytes(Path("v24.avi"));
    const size_t cut = std::string(bytes.begin(), bytes.end()).find("movi") + 4 + 5 * 840 + 100;
    bytes.resize(cut);
    WriteBytes(Path("cut.avi"), bytes);
    std::vector<std::vector<uint8_t>> frames;
    EXPECT_EQ(Read(Path("cut.avi"), 0, kFrames, &frames), kImageAviBase + kAviFrameRead);
    ASSERT_EQ(Read(Path("cut.avi"), 1, 3, &frames), kImageOk);
    EXPECT_EQ(frames[2], SourceFrame(3));
}

// RIFF chunks written by hand.
std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out(id, id + 4);
    out.resize(8);
    StoreLe32(&out[4], uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2 != 0) {
        out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> List(const char* id, const char* type,
                          std::initializer_list<std::vector<uint8_t>> children) {
    std::vector<uint8_t> data(type, type + 4);
    for (const auto& c : children) {
        data.insert(data.end(), c.begin(), c.end());
    }
    return Chunk(id, data);
}

// A video of width x height (negative: top-down) at bits per pixel with the given movi chunks.
std::vector<uint8_t> HandMadeAvi(int32_t width, int32_t height, uint16_t bits, uint32_t length,
                                 std::initializer_list<std::vector<uint8_t>> movi,
                                 const char* type = "vids") {
    std::vector<uint8_t> avih(56, 0);
    StoreLe32(&avih[24], 1);
    std::vector<uint8_t> strh(56, 0);
    std::copy(type, type + 4, strh.begin());
    StoreLe32(&strh[32], length);
    std::vector<uint8_t> strf(40, 0);
    StoreLe32(&strf[0], 40);
    StoreLe32(&strf[4], uint32_t(width));
    StoreLe32(&strf[8], uint32_t(height));
    StoreLe16(&strf[12], 1);
    StoreLe16(&strf[14], bits);
    std::vector<uint8_t> moviData(4);
    std::copy_n("movi", 4, moviData.begin());
    for (const auto& c : movi) {
        moviData.insert(moviData.end(), c.begin(), c.end());
    }
    return List("RIFF", "AVI ",
                {List("LIST", "hdrl",
                      {Chunk("avih", avih),
                       List("LIST", "strl", {Chunk("strh", strh), Chunk("strf", strf)})}),
                 Chunk("JUNK", {1, 2, 3}), Chunk("LIST", moviData)});
}

IMAGE_ERROR ReadHandMade(std::vector<uint8_t> bytes, int32_t position, int32_t count,
                         std::vector<uint8_t>* out, size_t frameBytes) {
    out->assign(frameBytes * size_t(count), 0xA5);
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    const IMAGE_ERROR code = ImageReadAviFile(file, out->data(), kRowBgr, 0, position, count);
    std::fclose(file);
    return code;
}

TEST(AviHandMade, TopDownFramesAreCopiedInStoredOrder) {
    AssertRecorder asserts;
    // Width 1, two lines stored top-down, each padded to 4 bytes; an odd chunk and a nested
    // list come first.
    const auto bytes = HandMadeAvi(1, -2, 24, 2,
                                   {Chunk("01wb", {9}),
                                    List("LIST", "rec ", {Chunk("00db", {1, 2, 3, 0, 4, 5, 6, 0})}),
                                    Chunk("00dc", {7, 8, 9, 0, 10, 11, 12, 0})});
    std::vector<uint8_t> frames;
    ASSERT_EQ(ReadHandMade(bytes, 0, 2, &frames, 6), kImageOk);
    EXPECT_EQ(frames, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    // The same lines bottom-up.
    ASSERT_EQ(ReadHandMade(HandMadeAvi(1, 2, 24, 1, {Chunk("00db", {1, 2, 3, 0, 4, 5, 6, 0})}), 0,
                           1, &frames, 6),
              kImageOk);
    EXPECT_EQ(frames, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(asserts.Count(), 0u);
}

TEST(AviHandMade, BrokenFilesGetTheirCodesWithoutAnAssertion) {
    AssertRecorder asserts;
    const std::vector<uint8_t> frame = {1, 2, 3, 0, 4, 5, 6, 0};
    std::vector<uint8_t> passesItsList = HandMadeAvi(1, 2, 24, 2, {Chunk("00db", frame)});
    passesItsList.insert(passesItsList.end(), {'0', '0', 'd', 'b', 0xFF, 0, 0, 0});
    StoreLe32(&passesItsList[4], uint32_t(passesItsList.size() - 8));
    const struct {
        const char* Label;
        std::vector<uint8_t> Bytes;
        int32_t Count;
        IMAGE_ERROR Code;
    } cases[] = {
        {"a frame chunk shorter than its lines",
         HandMadeAvi(1, 2, 24, 2, {Chunk("00db", frame), Chunk("00db", {1, 2, 3, 0, 4, 5})}), 2,
         kImageAviBase + kAviFrameRead},
        // The decoded depth is taken from frame 0: when that cannot be had, nothing is read.
        {"frame 0 shorter than its lines",
         HandMadeAvi(1, 2, 24, 1, {Chunk("00db", {1, 2, 3, 0, 4, 5})}), 1, kImageUnsupportedFormat},
        {"a chunk size past its list", passesItsList, 2, kImageAviBase + kAviFrameRead},
        {"fewer chunks than the stream's length", HandMadeAvi(1, 2, 24, 3, {Chunk("00db", frame)}),
         2, kImageAviBase + kAviFrameRead},
        {"no video stream", HandMadeAvi(1, 2, 24, 1, {Chunk("00db", frame)}, "auds"), 1,
         kImageAviBase + kAviStreamOpen},
        {"width 0", HandMadeAvi(0, 2, 24, 1, {Chunk("00db", frame)}), 1,
         kImageAviBase + kAviStreamFormat},
        {"height INT32_MIN", HandMadeAvi(1, INT32_MIN, 24, 1, {Chunk("00db", frame)}), 1,
         kImageAviBase + kAviStreamFormat},
        {"frames above INT32_MAX bytes", HandMadeAvi(50000, 50000, 24, 1, {Chunk("00db", frame)}),
         1, kImageAviBase + kAviStreamFormat},
        {"16 bits per pixel", HandMadeAvi(1, 2, 16, 1, {Chunk("00db", frame)}), 1,
         kImageAviBase + kAviNot24Bits},
        {"not a RIFF file", Bytes("RIFX...."), 1, kImageAviBase + kAviFileOpen},
        {"nothing", {}, 1, kImageAviBase + kAviFileOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        std::vector<uint8_t> frames;
        testing::internal::CaptureStderr();
        EXPECT_EQ(ReadHandMade(c.Bytes, 0, c.Count, &frames, 6), c.Code);
        testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(asserts.Count(), 0u);
}

} // namespace

namespace {

TEST_F(AviFromGStreamer, AStreamHoldsItsFileUntilReleased) {
    AviFile* file = nullptr;
    AviVideo* video = nullptr;
    ASSERT_EQ(AviOpen(Path("v24.avi").c_str(), &file), kAviOk);
    ASSERT_EQ(AviOpenVideo(file, &video), kAviOk);
    ASSERT_EQ(AviFrameOpen(video), kAviOk);
    // Closing the file while the stream is open: the reference that remains is reported.
    AviClose(file);
    EXPECT_TRUE(m_Asserts.Saw("fileref == 0"));
    // Releasing the stream while its decoder is open: likewise.
    avifile::Decoder* decoder = video->Decoder;
    EXPECT_EQ(AviReleaseVideo(video), kAviOk);
    EXPECT_TRUE(m_Asserts.Saw("strmref == 0"));
    // The decoder's close drops the last reference: the stream and the file go with it.
    EXPECT_EQ(avifile::StreamGetFrameClose(decoder), avifile::kOk);
    m_Asserts.Recorded().clear();
}

} // namespace
