// FLOAD never drops a byte of the file: "*" covers the whole file in whole units, and the last
// partial unit is sent padded with zeros, in bursts and unit by unit, to memory (filled with EEh
// first) and to a register port, at 16 and 32 bits. The bytes written stand in the table.
#include "PlayBench.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Load {
    const char* Command;             // typed after "f8 400 L10 ee"
    const char* Report;              // a piece of FLOAD's report
    std::vector<const char*> Checks; // the next commands and a line each shows
};

const Load kLoads[] = {
    // Five bytes 01..05 and seven bytes 01..07 into memory at 400h.
    {"fload16 five.bin mem 400 L3",
     "Len=00003h Data=16-bits\nnTimes=1 Offset=0h Burst=On",
     {"d8 400 L8", "00000400:  01 02 03 04 05 00 EE EE"}},
    {"fload16 five.bin mem 400 L3 b=off",
     "Len=00003h Data=16-bits\nnTimes=1 Offset=0h Burst=Off",
     {"d8 400 L8", "00000400:  01 02 03 04 05 00 EE EE"}},
    {"fload16 five.bin mem 400 *",
     "Len=00003h Data=16-bits\nnTimes=1 Offset=0h Burst=On",
     {"d8 400 L8", "00000400:  01 02 03 04 05 00 EE EE"}},
    {"fload16 five.bin mem 400 * b=off",
     "Len=00003h Data=16-bits\nnTimes=1 Offset=0h Burst=Off",
     {"d8 400 L8", "00000400:  01 02 03 04 05 00 EE EE"}},
    {"fload32 seven.bin mem 400 *",
     "Len=00002h Data=32-bits\nnTimes=1 Offset=0h Burst=On",
     {"d8 400 L10", "00000400:  01 02 03 04 05 06 07 00  EE EE"}},
    {"fload32 seven.bin mem 400 * b=off",
     "Len=00002h Data=32-bits\nnTimes=1 Offset=0h Burst=Off",
     {"d8 400 L10", "00000400:  01 02 03 04 05 06 07 00  EE EE"}},
    {"fload32 five.bin mem 400 *",
     "Len=00002h Data=32-bits\nnTimes=1 Offset=0h Burst=On",
     {"d8 400 L10", "00000400:  01 02 03 04 05 00 00 00  EE EE"}},
    // N lengths of one unit each to the same address: the last one is the padded 07.
    {"fload16 seven.bin mem 400 L1",
     "Len=00001h Data=16-bits\nnTimes=4 Offset=0h Burst=On",
     {"d8 400 L4", "00000400:  07 00 EE EE"}},
    // Each burst chunk is cut at the frame's end: the second length of seven bytes is 07 and
    // its pad, nothing past them.
    {"fload16 seven.bin mem 400 L3",
     "Len=00003h Data=16-bits\nnTimes=2 Offset=0h Burst=On",
     {"d8 400 L8", "00000400:  07 00 03 04 05 06 EE EE"}},
    // An end address gives an even byte span from the start: two lengths of four bytes.
    {"fload16 seven.bin mem 400 403",
     "Len=00002h Data=16-bits\nnTimes=2 Offset=0h Burst=On",
     {"d8 400 L8", "00000400:  05 06 07 00 EE EE EE EE"}},
    // A numbered run of two files: each frame goes to the start, padded (the second stays).
    {"fload16 r0000.bin mem 400 * a=on",
     "Len=00003h Data=16-bits\nnTimes=1 Offset=0h Burst=On "
     "Frames=2",
     {"d8 400 L8", "00000400:  11 12 13 14 15 00 EE EE"}},
    // Registers: unit by unit the index moves on; in bursts the port takes every unit.
    {"fload16 five.bin reg 24 * b=off",
     "Len=00003h Data=16 bits\nnTimes=1 Offset=0h Burst=Off",
     {"x 24", "[24] > 0201", "x 26", "[26] > 0403", "x 28", "[28] > 0005"}},
    {"fload16 five.bin reg 24 L1",
     "Len=00001h Data=16 bits\nnTimes=3 Offset=0h Burst=On",
     {"x 24", "[24] > 0005"}},
    {"fload16 five.bin reg 24 L1 b=off",
     "Len=00001h Data=16 bits\nnTimes=3 Offset=0h Burst=Off",
     {"x 24", "[24] > 0005"}},
    {"fload16 five.bin reg 24 *",
     "Len=00003h Data=16 bits\nnTimes=1 Offset=0h Burst=On",
     {"x 24", "[24] > 0005"}},
    // One unit to a register takes the whole frame in one burst, whatever N says.
    {"x 24 0; fload16 five.bin reg 24 L1 n=1",
     "Len=00001h Data=16 bits\nnTimes=1 Offset=0h Burst=On",
     {"x 24", "[24] > 0005"}},
};

TEST(FloadPaddingProcess, TheLastPartialUnitIsWrittenPadded) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    for (const Load& load : kLoads) {
        SCOPED_TRACE(load.Command);
        const q3vtest::PlayBench bench;
        bench.WriteFile("five.bin", "\x01\x02\x03\x04\x05");
        bench.WriteFile("seven.bin", "\x01\x02\x03\x04\x05\x06\x07");
        bench.WriteFile("r0000.bin", "\x01\x02\x03\x04\x05");
        bench.WriteFile("r0001.bin", "\x11\x12\x13\x14\x15");
        std::string input = "f8 400 L10 ee\n" + std::string(load.Command) + "\n";
        for (size_t i = 0; i < load.Checks.size(); i += 2) {
            input += std::string(load.Checks[i]) + "\n";
        }
        const q3vtest::PlayRun run = bench.Run("", input);
        EXPECT_EQ(run.Code, 0) << run.Output;
        EXPECT_EQ(run.Output.find("ERROR"), std::string::npos) << run.Output;
        EXPECT_NE(run.Output.find(load.Report), std::string::npos) << run.Output;
        for (size_t i = 0; i < load.Checks.size(); i += 2) {
            EXPECT_NE(
                run.Output.find("=" + std::string(load.Checks[i]) + "\n" + load.Checks[i + 1]),
                std::string::npos)
                << run.Output;
        }
    }
}

// Two AVI frames of 17x17 pixels in R888 (867 bytes each) made by GStreamer: each frame sits in
// the load buffer padded to whole units, so a 16-bit load writes the last frame's bytes as an
// 8-bit load does, and one zero after them.
TEST(FloadPaddingProcess, AviFramesArePaddedEachInItsPlace) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    constexpr size_t kSide = 17;
    constexpr size_t kFrame = kSide * kSide * 3;
    std::string frames;
    for (size_t k = 0; k < 2; ++k) {
        for (size_t line = 0; line < kSide; ++line) {
            for (size_t i = 0; i < kSide * 3; ++i) {
                frames += static_cast<char>((line * 51 + i) * 7 + k * 13);
            }
            frames += '\0'; // rawvideoparse takes lines padded to 4 bytes
        }
    }
    bench.WriteFile("frames.bgr", frames);
    const std::string tool =
        "cd " + q3vtest::ShellWord(bench.Work()) + " && GST_REGISTRY=gst-registry.bin " +
        "gst-launch-1.0 -q filesrc location=frames.bgr ! rawvideoparse format=bgr width=17 " +
        "height=17 ! avimux ! filesink location=v.avi >/dev/null 2>&1";
    ASSERT_EQ(std::system(tool.c_str()), 0) << "gst-launch-1.0 failed";
    const q3vtest::PlayRun run =
        bench.Run("", "f8 0 L800 ee\nfload8 v.avi mem 0 * f=0 a=on\nfdump8 a.bin mem 0 L400\n"
                      "f8 0 L800 ee\nfload16 v.avi mem 0 * f=0 a=on\nfdump8 b.bin mem 0 L400\n");
    EXPECT_EQ(run.Output.find("ERROR"), std::string::npos) << run.Output;
    const std::string bytes8 = bench.ReadFile("a.bin");
    const std::string bytes16 = bench.ReadFile("b.bin");
    ASSERT_EQ(bytes8.size(), 0x400u);
    ASSERT_EQ(bytes16.size(), 0x400u);
    EXPECT_EQ(bytes16.substr(0, kFrame), bytes8.substr(0, kFrame));
    EXPECT_EQ(bytes8[kFrame], '\xEE');
    EXPECT_EQ(bytes16[kFrame], '\0');
    EXPECT_EQ(bytes16[kFrame + 1], '\xEE');
}

TEST(FloadPaddingProcess, Fload32ToARegisterInBurstsStillFails) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    bench.WriteFile("five.bin", "\x01\x02\x03\x04\x05");
    const q3vtest::PlayRun run = bench.Run("fload32 five.bin reg 24 L1");
    EXPECT_EQ(run.Code, 1) << run.Output;
    EXPECT_NE(run.Output.find("Error: 32 bit register burst writes not supported"),
              std::string::npos)
        << run.Output;
}

} // namespace
