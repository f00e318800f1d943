// FDUMP's and FLOAD's refusals of their arguments and options, as one table: each refused line
// prints its error, and nothing is moved: FDUMP makes no file, FLOAD leaves display memory as it
// was.
#include "MemCommandsFixture.h"

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace memtest {
namespace {

using Bytes = std::vector<std::uint8_t>;

class FileOptionRefusalsTest : public MemCommandsTest {
protected:
    void SetUp() override {
        MemCommandsTest::SetUp();
        ASSERT_FALSE(m_Temp.Path().empty());
        ASSERT_NE(getcwd(m_Here, sizeof m_Here), nullptr);
        ASSERT_EQ(chdir(m_Temp.Path().c_str()), 0);
        std::FILE* data = std::fopen("data.bin", "wb");
        ASSERT_NE(data, nullptr);
        std::fputs("0123456789abcdef", data);
        std::fclose(data);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(m_Here), 0);
        MemCommandsTest::TearDown();
    }

    q3vtest::TempFolder m_Temp{"q3v-file-refusals"};
    char m_Here[4096] = {};
};

TEST_F(FileOptionRefusalsTest, EachRefusedWordStopsTheCommandBeforeAnyTransfer) {
    struct Case {
        const char* Line;
        const char* Error;
    };
    const Case cases[] = {
        // FDUMP's arguments.
        {"fdump d.bin mem 0", "ERROR: FDUMP requires a minimum of four arguments.\n"},
        {"fdump d.bin mem zz L10", "ERROR: 'zz' isn't a valid start address.\n"},
        {"fdump d.bin mem 100 ff", "ERROR: 'ff' isn't a valid end address or length.\n"},
        {"fdump d.bin mem 0 L10 L20", "ERROR: Invalid entry 'L20'\n"},
        // FDUMP's options.
        {"fdump d.bin mem 0 L10 a=maybe", "ERROR: Invalid entry 'a=maybe'\n"},
        {"fdump d.bin mem 0 L10 b=1", "ERROR: Invalid entry 'b=1'\n"},
        {"fdump d.bin mem 0 L10 d=0", "ERROR: Invalid entry 'd=0'\n"},
        {"fdump d.bin mem 0 L10 d=zz", "ERROR: Invalid entry 'd=zz'\n"},
        {"fdump d.bin mem 0 L10 f=3", "ERROR: Invalid entry 'f=3'\n"},
        {"fdump d.bin mem 0 L10 f=4", "ERROR: Invalid entry 'f=4'\n"}, // FLOAD's alias only
        {"fdump d.bin mem 0 L10 f=7", "ERROR: Invalid entry 'f=7'\n"},
        {"fdump d.bin mem 0 L10 h=0", "ERROR: Invalid entry 'h=0'\n"},
        {"fdump d.bin mem 0 L10 n=0", "ERROR: Invalid entry 'n=0'\n"},
        {"fdump d.bin mem 0 L10 w=0", "ERROR: Invalid entry 'w=0'\n"},
        {"fdump d.bin mem 0 L10 w=zz", "ERROR: Invalid entry 'w=zz'\n"},
        {"fdump d.bin mem 0 L10 lc=1", "ERROR: Invalid entry 'lc=1'\n"}, // FLOAD's option
        // FLOAD's arguments.
        {"fload data.bin", "ERROR: FLOAD requires a minimum of four arguments.\n"},
        {"fload data.bin mem 0", "ERROR: FLOAD requires a minimum of four arguments.\n"},
        {"fload data.bin mem zz *", "ERROR: 'zz' isn't a valid start address.\n"},
        {"fload data.bin mem 100 ff", "ERROR: 'ff' isn't a valid end address or length.\n"},
        {"fload data.bin mem 0 * L10", "ERROR: Invalid entry 'L10'\n"},
        // FLOAD's options.
        {"fload data.bin mem 0 * a=maybe", "ERROR: Invalid entry 'a=maybe'\n"},
        {"fload data.bin mem 0 * b=1", "ERROR: Invalid entry 'b=1'\n"},
        {"fload data.bin mem 0 * d=0", "ERROR: Invalid entry 'd=0'\n"},
        {"fload data.bin mem 0 * f=3", "ERROR: Invalid entry 'f=3'\n"},
        {"fload data.bin mem 0 * f=7", "ERROR: Invalid entry 'f=7'\n"},
        {"fload data.bin mem 0 * l=zz", "ERROR: Invalid entry 'l=zz'\n"},
        {"fload data.bin mem 0 * n=0", "ERROR: Invalid entry 'n=0'\n"},
        {"fload data.bin mem 0 * o=zz", "ERROR: Invalid entry 'o=zz'\n"},
        {"fload data.bin mem 0 * p=zz", "ERROR: Invalid entry 'p=zz'\n"},
        {"fload data.bin mem 0 * r=zz", "ERROR: Invalid entry 'r=zz'\n"},
        {"fload data.bin mem 0 * t=4", "ERROR: Invalid entry 't=4'\n"},
        {"fload data.bin mem 0 * v=0", "ERROR: Invalid entry 'v=0'\n"},
        {"fload data.bin mem 0 * lc=1024", "ERROR: Invalid entry 'lc=1024'\n"},
        {"fload data.bin mem 0 * h=2", "ERROR: Invalid entry 'h=2'\n"}, // FDUMP's option
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        Poke(0, Bytes(16, 0x99));
        unlink("d.bin");
        bool ok = true;
        EXPECT_EQ(Line(c.Line, &ok), c.Error);
        EXPECT_FALSE(ok);
        struct stat info {};
        EXPECT_NE(stat("d.bin", &info), 0) << "FDUMP made its file";
        EXPECT_EQ(Peek(0, 16), Bytes(16, 0x99)) << "FLOAD wrote display memory";
    }
}

} // namespace
} // namespace memtest
