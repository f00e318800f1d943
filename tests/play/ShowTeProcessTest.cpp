// SHOW with TE polling (T=) on the simulated board, seen on the board's access log as a user
// running `play` would leave it: "tefunc" (bits 6:5 of DISP_SET, register 22h) holds T while
// the frames are written, the TE status is polled after each frame, and the value "tefunc" had
// before comes back after the last frame.
#include "support/PlayProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kDispSet = 0x60800 + 0x22; // register 22h on the bus
constexpr std::uint32_t kTeFunctionMask = 0x60;
constexpr std::uint32_t kMemoryEnd = 0x60000;

struct Access {
    bool Write = false;
    std::uint32_t Address = 0;
    std::uint32_t Value = 0;
};

// The controller accesses of a Q3VSIM_LOG file, in order.
std::vector<Access> ReadAccesses(const std::string& path) {
    std::vector<Access> accesses;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        unsigned board = 0;
        char kind[8] = {};
        unsigned address = 0;
        unsigned port = 0;
        unsigned length = 0;
        unsigned value = 0;
        if (std::sscanf(line.c_str(), "board %u %7s 0x%x port %u len %u value 0x%x", &board, kind,
                        &address, &port, &length, &value) == 6) {
            accesses.push_back({std::string(kind) == "WRITE", address, value});
        }
    }
    return accesses;
}

TEST(ShowTeProcess, TheTeFunctionIsTheOneAskedForDuringTheFramesAndComesBackAfter) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    struct Case {
        std::uint32_t Before; // "tefunc" before SHOW
        std::uint32_t Asked;  // SHOW's T=
    };
    for (const Case& c : {Case{2, 1}, Case{0, 3}}) {
        SCOPED_TRACE(std::to_string(c.Before) + " then t=" + std::to_string(c.Asked));
        const q3vtest::TempFolder folder("q3v-show-te");
        ASSERT_FALSE(folder.Path().empty());
        q3vtest::PlayRun run =
            q3vtest::RunPlay(folder.Path(), "set tefunc " + std::to_string(c.Before));
        ASSERT_EQ(run.Code, 0) << run.Output;
        const std::string log = folder.File("board.log");
        run = q3vtest::RunPlay(folder.Path(), "show w=4 h=2 f=1 n=2 t=" + std::to_string(c.Asked),
                               "", "", {"Q3VSIM_LOG=" + log});
        ASSERT_EQ(run.Code, 0) << run.Output;

        std::uint32_t teFunction = c.Before << 5;
        int frames = 0;
        bool polledSinceFrame = true;
        size_t lastFrame = 0;
        size_t lastSet = 0;
        const std::vector<Access> accesses = ReadAccesses(log);
        for (size_t i = 0; i < accesses.size(); ++i) {
            const Access& a = accesses[i];
            if (a.Write && a.Address == kDispSet) {
                teFunction = a.Value & kTeFunctionMask;
                lastSet = i;
            } else if (a.Write && a.Address < kMemoryEnd) {
                EXPECT_EQ(teFunction, c.Asked << 5) << "frame " << frames;
                EXPECT_TRUE(polledSinceFrame) << "frame " << frames;
                ++frames;
                polledSinceFrame = false;
                lastFrame = i;
            } else if (!a.Write && a.Address == kDispSet) {
                polledSinceFrame = true;
            }
        }
        EXPECT_EQ(frames, 2);
        EXPECT_TRUE(polledSinceFrame) << "the TE status after the last frame";
        EXPECT_GT(lastSet, lastFrame) << "tefunc is set back after the last frame";
        EXPECT_EQ(teFunction, c.Before << 5);
    }
}

} // namespace
