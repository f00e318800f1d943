// FLOAD and FDUMP with pictures made by independent tools: BMP and PPM fixtures written by
// ImageMagick and netpbm are loaded into display memory and dumped back to PPM and PGM files,
// which are compared with what netpbm reads from the fixtures.
#include "MemCommandsFixture.h"

#include "support/FileBytes.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class FileCommandsToolsTest : public memtest::MemCommandsTest {
protected:
    std::string Path(const std::string& name) const { return m_Folder.File(name); }

    // Runs a shell command in the folder; false when it fails (or the tool is missing).
    bool Tool(const std::string& command) const {
        const std::string line = "cd '" + m_Folder.Path() + "' && GST_REGISTRY='" +
                                 Path("gst-registry.bin") + "' " + command + " 2>/dev/null";
        return std::system(line.c_str()) == 0;
    }

    std::string Bytes(const std::string& name) const { return q3vtest::ReadFileText(Path(name)); }

    // Runs a Play line with the folder's path put in front of every "@".
    bool Play(std::string line) {
        for (size_t at = line.find('@'); at != std::string::npos; at = line.find('@', at)) {
            line.replace(at, 1, m_Folder.Path() + "/");
        }
        bool ok = false;
        const std::string text = Line(line.c_str(), &ok);
        EXPECT_TRUE(ok) << line << "\n" << text;
        return ok;
    }

    // A 4x3 picture of distinct colours as a binary PPM, and as a 24-bit BMP from netpbm.
    void MakeFixtures() {
        ASSERT_TRUE(Tool("convert -size 4x3 gradient:red-blue -fill lime -draw 'point 1,1' "
                         "-depth 8 ppm:pic.ppm"));
        ASSERT_TRUE(Tool("ppmtobmp -bpp=24 pic.ppm > pic.bmp"));
        ASSERT_TRUE(Tool("ppmtoppm < pic.ppm > want.ppm"));
    }

    q3vtest::TempFolder m_Folder{"q3v-filecmd"};
};

TEST_F(FileCommandsToolsTest, PpmAndBmpLoadedInR888ComeBackAsNetpbmReadsThem) {
    MakeFixtures();
    // 4 x 3 pixels of 3 bytes: 24h bytes.
    ASSERT_TRUE(Play("fload @pic.ppm mem 0 * f=0"));
    ASSERT_TRUE(Play("fdump @fromppm.ppm mem 0 L24 w=4 h=3 f=0"));
    ASSERT_TRUE(Play("fload @pic.bmp mem 1000 * f=0"));
    ASSERT_TRUE(Play("fdump @frombmp.ppm mem 1000 L24 w=4 h=3 f=0"));
    ASSERT_TRUE(Tool("ppmtoppm < fromppm.ppm > a.ppm && ppmtoppm < frombmp.ppm > b.ppm"));
    EXPECT_EQ(Bytes("a.ppm"), Bytes("want.ppm"));
    EXPECT_EQ(Bytes("b.ppm"), Bytes("want.ppm"));
}

TEST_F(FileCommandsToolsTest, BmpAndPpmInR565GiveTheSamePicture) {
    MakeFixtures();
    // 4 x 3 pixels of 2 bytes: 18h bytes.
    ASSERT_TRUE(Play("fload @pic.ppm mem 0 * f=1"));
    ASSERT_TRUE(Play("fdump @fromppm.ppm mem 0 L18 w=4 h=3 f=1"));
    ASSERT_TRUE(Play("fload @pic.bmp mem 1000 * f=1"));
    ASSERT_TRUE(Play("fdump @frombmp.ppm mem 1000 L18 w=4 h=3 f=1"));
    EXPECT_FALSE(Bytes("fromppm.ppm").empty());
    EXPECT_EQ(Bytes("fromppm.ppm"), Bytes("frombmp.ppm"));
}

TEST_F(FileCommandsToolsTest, PgmIsLoadedAsRawDataAndBmpIsDumpedAsRawBytes) {
    ASSERT_TRUE(Tool("convert -size 4x3 gradient:white-black -depth 8 pgm:gray.pgm"));
    const std::string gray = Bytes("gray.pgm");
    ASSERT_FALSE(gray.empty());
    ASSERT_TRUE(Play("fload @gray.pgm mem 0 *"));
    char length[16];
    std::snprintf(length, sizeof(length), "L%zX", gray.size());
    ASSERT_TRUE(Play(std::string("fdump @raw.bmp mem 0 ") + length));
    EXPECT_EQ(Bytes("raw.bmp"), gray);
}

TEST_F(FileCommandsToolsTest, PgmDumpOfMonochromeMemoryIsWhatNetpbmReads) {
    ASSERT_TRUE(Tool("convert -size 4x3 gradient:white-black -depth 8 pgm:gray.pgm"));
    ASSERT_TRUE(Tool("pgmtopgm < gray.pgm > want.pgm"));
    const std::string want = Bytes("want.pgm");
    // The 12 samples at the end of the file.
    ASSERT_GE(want.size(), 12u);
    ASSERT_TRUE(Play("fload @gray.pgm mem 0 * o=" + [&] {
        char offset[16];
        std::snprintf(offset, sizeof(offset), "%zX", want.size() - 12);
        return std::string(offset);
    }()));
    ASSERT_TRUE(Play("fdump @out.pgm mem 0 LC w=4 h=3 f=2"));
    ASSERT_TRUE(Tool("pgmtopgm < out.pgm > got.pgm"));
    EXPECT_EQ(Bytes("got.pgm"), want);
}

// Five frames of 16x16 pixels (GStreamer negotiates no smaller raw frames), frame k filled with the
// byte 10h x (k + 1), in an AVI made by GStreamer. Every frame of a burst load goes to the same
// address, so memory keeps the last.
TEST_F(FileCommandsToolsTest, AviFramesChosenByPositionAndCount) {
    constexpr size_t kFrameBytes = 16 * 16 * 3;
    std::string frames;
    for (int k = 0; k < 5; ++k) {
        frames.append(kFrameBytes, static_cast<char>(0x10 * (k + 1)));
    }
    std::ofstream(Path("frames.bgr"), std::ios::binary) << frames;
    ASSERT_TRUE(Tool("gst-launch-1.0 -q filesrc location=frames.bgr ! rawvideoparse format=bgr "
                     "width=16 height=16 ! avimux ! filesink location=v.avi"));
    const struct {
        const char* Options;
        char LastFrameByte;
    } kCases[] = {
        {"v=2 p=1", 0x30},  // frames 1 and 2
        {"v=2 p=4", 0x20},  // past the end: from frame 0, so frames 0 and 1
        {"v=9", 0x50},      // cut to the five frames
        {"a=on p=3", 0x50}, // all frames from frame 0
        {"", 0x10},         // one frame from frame 0
    };
    for (const auto& c : kCases) {
        ASSERT_TRUE(Play(std::string("fload @v.avi mem 0 * f=0 ") + c.Options));
        ASSERT_TRUE(Play("fdump @out.bin mem 0 L300"));
        EXPECT_EQ(Bytes("out.bin"), std::string(kFrameBytes, c.LastFrameByte)) << c.Options;
    }
    const std::string report = Line(("fload " + Path("v.avi") + " mem 0 * f=0").c_str());
    EXPECT_NE(report.find("AVI file: 16x16, 5 total frames found"), std::string::npos) << report;
}

} // namespace
