// The memory tokens on the simulated board, read and written by SET: disp8/16/32[address] and
// bar8/16/32[n,address] (base address space 0 is the bridge's memory space, display memory on
// this board) against the bytes of the board's memory, and usbsetup[index] against the bridge's
// configuration row of the current MGE.
#include "MemCommandsFixture.h"

#include "hcl/Cscl.h"
#include "play/TokenAccess.h"

#include <cstring>
#include <string>

namespace memtest {
namespace {

using Bytes = std::vector<std::uint8_t>;

class HardwareTokensTest : public MemCommandsTest {
protected:
    // The token's value as an expression reads it.
    std::uint32_t Value(const char* token) {
        ExprValue value{};
        const char* errorText = nullptr;
        EXPECT_EQ(GetTokenValue(token, static_cast<std::uint32_t>(std::strlen(token)), &value,
                                false, &errorText),
                  0u)
            << token << ": " << (errorText != nullptr ? errorText : "");
        return value.Number;
    }
    // The little-endian number in the board's memory.
    std::uint32_t Memory(std::uint32_t address, std::uint32_t bytes) {
        std::uint32_t number = 0;
        const Bytes stored = Peek(address, bytes);
        for (std::uint32_t i = 0; i < bytes; ++i) {
            number |= std::uint32_t{stored[i]} << (8 * i);
        }
        return number;
    }
    std::uint8_t ConfigByte(std::uint32_t index) {
        std::uint8_t table[4][6];
        m_Board->Config(table);
        return table[oxCsclGetMge()][index];
    }
};

TEST_F(HardwareTokensTest, MemoryTokensReadTheBoardsBytesAtTheirWidth) {
    Poke(0x1000, {0x81, 0x42, 0xC3, 0x24, 0xE5, 0x66, 0x07, 0xF8});
    struct Case {
        const char* Token;
        std::uint32_t Address;
        std::uint32_t Bytes;
        const char* Shown; // by SET with no value
    };
    const Case cases[] = {
        {"disp[1001]", 0x1001, 1, "DISP[00001001h] = 42h (66t)\n"},
        {"disp8[1003]", 0x1003, 1, "DISP[00001003h] = 24h (36t)\n"},
        {"disp16[1002]", 0x1002, 2, "DISP[00001002h] = 24C3h (9411t)\n"},
        {"disp32[1004]", 0x1004, 4, "DISP[00001004h] = F80766E5h (4161234661t)\n"},
        {"bar[1000]", 0x1000, 1, "BAR0[00001000h] = 81h (129t)\n"},
        {"bar8[0,1007]", 0x1007, 1, "BAR0[00001007h] = F8h (248t)\n"},
        {"bar16[0,1006]", 0x1006, 2, "BAR0[00001006h] = F807h (63495t)\n"},
        {"bar32[0,1000]", 0x1000, 4, "BAR0[00001000h] = 24C34281h (616776321t)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Token);
        EXPECT_EQ(Value(c.Token), Memory(c.Address, c.Bytes));
        EXPECT_EQ(Line((std::string("set ") + c.Token).c_str()), c.Shown);
    }
}

TEST_F(HardwareTokensTest, MemoryTokensWriteTheirWidthAndNoMore) {
    struct Case {
        const char* Line;
        std::uint32_t Address; // of the unit written, with one byte either side checked
        Bytes Unit;
        const char* Echo;
    };
    const Case cases[] = {
        {"set disp[2001] 1A5", 0x2001, {0xA5}, "DISP[00002001h] = A5h (165t)\n"},
        {"set disp8[2011] 5A", 0x2011, {0x5A}, "DISP[00002011h] = 5Ah (90t)\n"},
        {"set disp16[2022] 0BEEF", 0x2022, {0xEF, 0xBE}, "DISP[00002022h] = BEEFh (48879t)\n"},
        {"set disp32[2034] 12345678",
         0x2034,
         {0x78, 0x56, 0x34, 0x12},
         "DISP[00002034h] = 12345678h (305419896t)\n"},
        {"set bar8[0,2041] 3C", 0x2041, {0x3C}, "BAR0[00002041h] = 3Ch (60t)\n"},
        {"set bar16[0,2052] 1C0DE", 0x2052, {0xDE, 0xC0}, "BAR0[00002052h] = C0DEh (49374t)\n"},
        {"set bar32[2064] 0CAFEF00D",
         0x2064,
         {0x0D, 0xF0, 0xFE, 0xCA},
         "BAR0[00002064h] = CAFEF00Dh (3405705229t)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        const auto size = static_cast<std::uint32_t>(c.Unit.size());
        Poke(c.Address - 1, Bytes(size + 2, 0x99));
        EXPECT_EQ(Line(c.Line), c.Echo);
        Bytes expected = c.Unit;
        expected.insert(expected.begin(), 0x99);
        expected.push_back(0x99);
        EXPECT_EQ(Peek(c.Address - 1, size + 2), expected);
    }
}

TEST_F(HardwareTokensTest, UsbSetupReadsAndWritesTheCurrentConfigurationRow) {
    // The bridge answers its hardware revision in the last byte of every row.
    for (std::uint32_t index = 0; index < 5; ++index) {
        SCOPED_TRACE(index);
        const std::string token = "usbsetup[" + std::to_string(index) + "]";
        EXPECT_EQ(Value(token.c_str()), ConfigByte(index));
    }
    EXPECT_EQ(Value("usbsetup8[5]"), 1u);

    const std::uint8_t kept = ConfigByte(2);
    // The layer lists the rows it wrote; SET's own line comes last.
    const std::string written = Line("set usbsetup[2] 15A");
    EXPECT_TRUE(written.ends_with("\nUSBSETUP[00000002h] = 5Ah (90t)\n")) << written;
    EXPECT_EQ(ConfigByte(2), 0x5A);
    EXPECT_EQ(Value("usbsetup[2]"), 0x5Au);
    const std::string restore = "set usbsetup8[2] " + std::to_string(kept) + "t";
    Line(restore.c_str());
    EXPECT_EQ(ConfigByte(2), kept);
}

} // namespace
} // namespace memtest
