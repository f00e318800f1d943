// The register initialisation list walk, through a recording stand-in for the board.

#include "hcl/HclError.h"
#include "hcl/HclInitList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

// What the walk did, as text: "W idx=value", "R idx", "D us".
struct FakeBoard {
    std::vector<std::string> Events;
    std::deque<std::uint16_t> PllReads; // values register 0x10 gives, in order; then PllDefault
    std::uint16_t PllDefault = 0;
    std::uint32_t Clock = 0; // advances by 1 ms on every look
};
FakeBoard* g_Fake = nullptr;

std::string Hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", v);
    return text;
}

const oxInitListAccess kAccess{
    [](std::uint32_t i, std::uint16_t v) {
        g_Fake->Events.push_back("W " + Hex(i) + "=" + Hex(v));
    },
    [](std::uint32_t i) -> std::uint16_t {
        g_Fake->Events.push_back("R " + Hex(i));
        if (g_Fake->PllReads.empty()) {
            return g_Fake->PllDefault;
        }
        const std::uint16_t v = g_Fake->PllReads.front();
        g_Fake->PllReads.pop_front();
        return v;
    },
    [](std::uint32_t us) { g_Fake->Events.push_back("D " + std::to_string(us)); },
    []() -> std::uint32_t { return g_Fake->Clock++; },
};

class HclDataInitList : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { g_Fake = nullptr; }

    // A zero block and a fresh board, also between the cases of one test.
    void Reset() {
        std::memset(&m_Block, 0, sizeof m_Block);
        m_Fake = FakeBoard{};
        g_Fake = &m_Fake;
        oxHclSetLastError(oxERR_NONE);
    }

    void List(std::initializer_list<oxHclRegEntry> pairs) {
        std::size_t n = 0;
        for (const oxHclRegEntry& e : pairs) {
            oxHclSetReg(m_Block, n++, e);
        }
    }

    oxHclData m_Block;
    FakeBoard m_Fake;
};

TEST_F(HclDataInitList, TemplateListRunsInOrder) {
    m_Fake.PllReads = {0x0000, 0x0000, 0x8000, 0x0000, 0x8000}; // two waits, each locks
    ASSERT_TRUE(oxRunInitList(oxgHclInfo, kAccess));
    const std::vector<std::string> head = {"W 6=100", "D 10000", "W 4=0", "W 10=0", "W 12=F",
                                           "W 14=29", "W 10=1",  "R 10",  "R 10",   "R 10",
                                           "W 16=6",  "W 4=1",   "R 10",  "R 10",   "W 20=4F"};
    ASSERT_GE(m_Fake.Events.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(m_Fake.Events.begin(), m_Fake.Events.begin() + head.size()),
              head);
    EXPECT_EQ(m_Fake.Events.back(), "W 4=2");
    EXPECT_EQ(m_Fake.Events.size(), 37u + 1 + 5) << "37 writes, 1 delay, 5 PLL reads";
}

TEST_F(HclDataInitList, PseudoRegisters) {
    struct Case {
        const char* Name;
        std::vector<oxHclRegEntry> Pairs;
        std::deque<std::uint16_t> PllReads;
        std::vector<std::string> Expected;
    };
    const Case cases[] = {
        {"end first", {{255, 0}, {4, 1}}, {}, {}},
        {"bypassed PLL: no wait, value ignored",
         {{252, 0x1234}, {4, 1}, {255, 0}},
         {0x0002},
         {"R 10", "W 4=1"}},
        {"lock bit in the first read does not count: the lock is read again",
         {{252, 0}, {255, 0}},
         {0x8000, 0x0000, 0x8000},
         {"R 10", "R 10", "R 10"}},
        {"zero delays continue at once",
         {{253, 0}, {254, 0}, {253, 7}, {255, 0}},
         {},
         {"D 0", "D 0", "D 7"}},
        {"indices above 255 are skipped",
         {{256, 1}, {0xFFFF, 2}, {250, 3}, {255, 0}, {4, 4}},
         {},
         {"W FA=3"}},
    };
    for (const Case& c : cases) {
        Reset();
        std::size_t n = 0;
        for (const oxHclRegEntry& e : c.Pairs) {
            oxHclSetReg(m_Block, n++, e);
        }
        m_Fake.PllReads = c.PllReads;
        EXPECT_TRUE(oxRunInitList(m_Block, kAccess)) << c.Name;
        EXPECT_EQ(m_Fake.Events, c.Expected) << c.Name;
    }
}

TEST_F(HclDataInitList, FullListWithoutEndMarkerStopsAtCapacity) {
    for (std::size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        oxHclSetReg(m_Block, i, {2, static_cast<std::uint16_t>(i)});
    }
    EXPECT_TRUE(oxRunInitList(m_Block, kAccess));
    ASSERT_EQ(m_Fake.Events.size(), oxHCL_REGSIZE);
    EXPECT_EQ(m_Fake.Events.back(), "W 2=250");
}

TEST_F(HclDataInitList, PllThatNeverLocksGivesUpWithAnError) {
    for (std::uint32_t start : {0u, 0xFFFFFF00u}) { // also across a wrap of the ms count
        Reset();
        List({{4, 1}, {252, 0}, {6, 2}, {255, 0}});
        m_Fake.Clock = start;
        EXPECT_FALSE(oxRunInitList(m_Block, kAccess));
        EXPECT_EQ(oxHclGetLastError(nullptr, 0), oxERR_UNSPECIFIED);
        EXPECT_EQ(m_Fake.Events.front(), "W 4=1");
        EXPECT_EQ(m_Fake.Events.back(), "R 10") << "the rest of the list is not run";
        // One read per clock look: the walk gave up once the time-out had passed.
        EXPECT_EQ(m_Fake.Events.size(), 1 + 1 + oxHCL_PLL_LOCK_TIMEOUT_MS);
    }
}

} // namespace
