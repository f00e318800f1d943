// A RESET that cannot open the board (board 5 absent) leaves Play without the controller, as a
// user meets it in one session typed through a pipe: every command and token that needs the
// board is refused with "ERROR: The controller has not been acquired." before it prints,
// stores or saves anything, the failing line stops its script, the board keeps its registers
// and memory, features and M use the configuration block's copy, SHOW's dump to "show.raw"
// still works, and "reset usb 0" takes the controller back.
#include "PlayBench.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kRefusal = "ERROR: The controller has not been acquired.\n";

// The caret line of an error at a column of the typed line (the prompt "=" before it).
std::string Caret(size_t column) {
    return std::string(column + 1, ' ') + "^\n" + kRefusal;
}

struct Refused {
    const char* Line;
    std::string Reply; // what Play prints between the echo of the line and the next prompt
};

// What a fresh play reads of the board: register 24, memory at 0 and 100h, LUT1[0].
constexpr const char* kBoardReading = "x 24\nd16 0 L20\nd16 100 L10\nl1 0\n";

TEST(FailedResetProcess, EveryRouteToTheBoardIsRefusedUntilAResetOpensItAgain) {
    ASSERT_TRUE(q3vtest::PlayIsBuilt()) << "play is not built in " << Q3V_BINARY_DIR;
    const q3vtest::PlayBench bench;
    bench.WriteFile("in.bin", "ABCDEFGH");
    bench.WriteFile("s.txt", "x 24 5a5a\nprint \"after the refused line\\n\"\n");
    const q3vtest::PlayRun before =
        bench.Run("", std::string("x 24 1\nw16 100 55aa\n") + kBoardReading);
    ASSERT_EQ(before.Code, 0) << before.Output;
    ASSERT_NE(before.Output.find("=x 24\n[24] > 0001"), std::string::npos) << before.Output;
    const std::string reading = before.Output.substr(before.Output.find("=x 24\n"));

    const std::vector<Refused> refused = {
        {"r 100", kRefusal},
        {"w16 100 1234", kRefusal},
        {"d 100 L10", kRefusal},
        {"f16 100 L4 1234", kRefusal},
        {"s16 100 L10 55aa", kRefusal},
        {"x 24", kRefusal},
        {"x 24 5a5a", kRefusal},
        {"xf 24 1 5a5a", kRefusal},
        {"xr 24 2", kRefusal},
        {"xfb 24 1 5a5a", kRefusal},
        {"xrb 24 4", kRefusal},
        {"xbs r=24", kRefusal},
        {"fdump o1.bin mem 0 L20", kRefusal},
        {"fdump o2.bin reg 24 L2", kRefusal},
        {"fload in.bin mem 100", kRefusal},
        {"fload in.bin reg 24 L2", kRefusal},
        {"show", kRefusal},
        {"show mem:100 w=2 h=2 f=1", kRefusal},
        {"win", kRefusal},
        {"win main sa=100", kRefusal},
        {"l1 0 ff ff ff", kRefusal},
        {"l1 3", kRefusal},
        {"init", kRefusal},
        {"set reg[24] 5a5a", Caret(4)},
        {"set 24 5a5a", Caret(4)},
        {"set disp16[100] 1234", Caret(4)},
        {"set bar16[0,100] 1234", Caret(4)},
        {"calc reg[24]", Caret(5)},
        {"calc disp16[100]", Caret(5)},
        {"calc bar16[100]", Caret(5)},
        {"calc usbsetup[0]", Caret(5)},
        // The command of an assignment runs; its target is refused.
        {"reg[24] = calc 5a5a", "5A5Ah (23130t)\n" + Caret(0)},
        {"disp16[100] = calc 1234", "1234h (4660t)\n" + Caret(0)},
    };
    std::string input = "reset usb 5\n";
    for (const Refused& row : refused) {
        input += std::string(row.Line) + "\n";
    }
    // Features and M work on the configuration block's copy, as under /nocard: hdp, a field of
    // register 24 in units of 8 pixels, changes the copy and not the register, and reads back
    // from the copy; after the RESET that opens the board it is read from the register again.
    input += "run s.txt\nset hdp 20t\ncalc hdp\nm\nshow w=2 h=2 f=1 fdump\nreset usb 0\nx 24\n"
             "calc hdp\n";
    bench.WriteFile("input.txt", input);
    const q3vtest::PlayRun session = q3vtest::RunPlay(
        bench.Board(), "", bench.WorkFile("input.txt"), bench.Work(), {"Q3VSIM_ABSENT=5"});
    const std::string& out = session.Output;
    ASSERT_EQ(session.Code, 0) << out;
    ASSERT_NE(out.find("=reset usb 5\n"
                       " USB Transport Layer, Current board number is 0\n"
                       " Resetting the Transport layer...Device ezusb-5 failed to open\n"
                       " failed\n"),
              std::string::npos)
        << out;

    size_t at = out.find("=reset usb 5\n");
    for (const Refused& row : refused) {
        SCOPED_TRACE(row.Line);
        const std::string echo = "\n=" + std::string(row.Line) + "\n";
        at = out.find(echo, at);
        ASSERT_NE(at, std::string::npos) << out;
        at += echo.size();
        EXPECT_EQ(out.substr(at, out.find("\n=", at) - at), row.Reply);
    }
    EXPECT_NE(out.find("=run s.txt\n\n=x 24 5a5a\n" + std::string(kRefusal) + "\n="),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("after the refused line"), std::string::npos) << out;
    EXPECT_NE(out.find("=set hdp 20t\nhdp (REG[24h-b6:0]) <- 20\n"), std::string::npos) << out;
    EXPECT_NE(out.find("=calc hdp\n10h (16t)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("=m\n\n  DEVICES"), std::string::npos) << out;
    EXPECT_NE(out.find(" *Display           16x272x24 "), std::string::npos) << out;
    EXPECT_NE(out.find("=show w=2 h=2 f=1 fdump\nMain window, 2x2"), std::string::npos) << out;
    EXPECT_NE(out.find(" done. Current board number is 0\n\n=x 24\n[24] > 0001  "
                       "0000-0000-0000-0001b   1t\n\n=calc hdp\n8h (8t)\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(bench.ReadFile("show.raw").size(), 8u) << "2x2 in RGB 565";
    EXPECT_FALSE(bench.Exists("o1.bin"));
    EXPECT_FALSE(bench.Exists("o2.bin"));

    // A fresh play reads the board as it was before the RESET.
    const q3vtest::PlayRun after = bench.Run("", kBoardReading);
    ASSERT_EQ(after.Code, 0) << after.Output;
    EXPECT_EQ(after.Output.substr(after.Output.find("=x 24\n")), reading);
}

} // namespace
