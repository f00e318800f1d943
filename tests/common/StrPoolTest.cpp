#include "common/StrPool.h"

#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Frees the pools it made, so that each test starts with free slots.
class PoolTest : public ::testing::Test {
protected:
    StrPool* Make(int32_t count, int32_t size) {
        StrPool* p = StrPoolCreate(count, size);
        if (p) {
            m_Pools.push_back(p);
        }
        return p;
    }
    void TearDown() override {
        for (StrPool* p : m_Pools) {
            StrPoolFree(p);
        }
    }
    std::vector<StrPool*> m_Pools;
};

TEST_F(PoolTest, RingReusesABufferOnlyAfterNumStrRequests) {
    StrPool* p = Make(3, 64);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->CurStr, 0);

    char* first = NextStr(p);
    EXPECT_EQ(p->CurStr, 1);
    std::strcpy(first, "kept");
    char* second = NextStr(p);
    char* third = NextStr(p);
    EXPECT_EQ(p->CurStr, 0);
    EXPECT_NE(second, first);
    EXPECT_NE(third, first);
    EXPECT_STREQ(first, "kept");

    char* fourth = NextStr(p);
    EXPECT_EQ(fourth, first);
    EXPECT_STREQ(first, "");
    EXPECT_EQ(p->CurStr, 1);
}

TEST_F(PoolTest, SizeZeroGivesBuffersOf1024Bytes) {
    StrPool* p = Make(2, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->DefaultSize, 1024);
    EXPECT_EQ(StrSizeInPool(p, NextStr(p)), 1024u);
}

TEST_F(PoolTest, BuffersAreMadeOnFirstUse) {
    StrPool* p = Make(4, 32);
    ASSERT_NE(p, nullptr);
    NextStr(p);
    EXPECT_NE(p->StrList[1], nullptr);
    EXPECT_EQ(p->StrSize[1], 32u);
    for (int i : {0, 2, 3}) {
        EXPECT_EQ(p->StrList[i], nullptr);
        EXPECT_EQ(p->StrSize[i], 0u);
    }
}

// A one-buffer pool lands every request on the same slot.
TEST_F(PoolTest, SizedRequestsGrowAndReturnToTheDefaultSize) {
    struct Step {
        int32_t request; // 0 = NextStr
        uint32_t size;   // size of the buffer handed out
    };
    const Step steps[] = {
        {10, 512},               // raised to the default size
        {2000, 2000},            // grown
        {1500, 2000},            // a larger buffer than a large request is kept
        {0, 2000},               // NextStr never shrinks
        {512, 512},              // a default-size request shrinks it back
        {2000, 2000}, {10, 512}, // a small request counts as default size
    };
    StrPool* p = Make(1, 512);
    ASSERT_NE(p, nullptr);
    for (const Step& s : steps) {
        char* text = s.request ? NextStrSized(p, s.request) : NextStr(p);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(StrSizeInPool(p, text), s.size) << "request " << s.request;
        std::memset(text, 'x', s.size - 1); // the whole buffer is usable
        text[s.size - 1] = '\0';
    }
}

TEST_F(PoolTest, SizedRequestBelowOneAssertsAndGivesTheDefaultSize) {
    AssertRecorder recorder;
    StrPool* p = Make(2, 100);
    ASSERT_NE(p, nullptr);
    char* text = NextStrSized(p, 0);
    EXPECT_TRUE(recorder.Saw("SizeRequired > 0"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(StrSizeInPool(p, text), 100u);
}

TEST_F(PoolTest, ForeignPointerHasNoSize) {
    AssertRecorder recorder;
    StrPool* p = Make(2, 100);
    ASSERT_NE(p, nullptr);
    char local[8] = {};
    EXPECT_EQ(StrSizeInPool(p, local), 0u);
    EXPECT_TRUE(recorder.Saw("false"));
}

TEST_F(PoolTest, DefaultPoolHas512ByteBuffers) {
    char* text = NextStr(nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(StrSizeInPool(nullptr, text), 512u);
    EXPECT_EQ(StrSizeInPool(nullptr, NextStrSized(nullptr, 3000)), 3000u);
}

TEST_F(PoolTest, PoolOfNoBuffersStillHandsOutText) {
    StrPool* p = Make(0, 16);
    ASSERT_NE(p, nullptr);
    char* a = NextStr(p);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(NextStr(p), a);
}

TEST(PoolSlots, NinthPoolIsRefusedAndFreeingMakesRoom) {
    StrPoolFreeAll(); // the default pool too
    std::vector<StrPool*> pools;
    for (int i = 0; i < kStrPoolSlots; ++i) {
        pools.push_back(StrPoolCreate(2, 16));
        ASSERT_NE(pools.back(), nullptr) << "pool " << i;
    }
    EXPECT_EQ(StrPoolCreate(2, 16), nullptr);

    StrPoolFree(pools[3]);
    StrPoolFree(nullptr);
    StrPool* again = StrPoolCreate(2, 16);
    EXPECT_NE(again, nullptr);
    pools[3] = again;
    for (StrPool* p : pools) {
        StrPoolFree(p);
    }
}

// Freeing every pool (as at exit) must not leave the default pool's pointer behind: a text
// formatted afterwards gets a fresh default pool instead of freed memory.
TEST(PoolSlots, DefaultPoolIsUsableAfterFreeingAllPools) {
    ASSERT_TRUE(HelperInit());
    std::strcpy(NextStr(nullptr), "before");
    StrPoolFreeAll();
    char* text = NextStr(nullptr);
    ASSERT_NE(text, nullptr);
    std::strcpy(text, "after");
    EXPECT_EQ(StrSizeInPool(nullptr, text), 512u);

    for (int32_t slot = 0; slot < kStrPoolSlots; ++slot) {
        StrPoolFreeAt(slot);
    }
    StrPoolFreeAt(-1);
    StrPoolFreeAt(kStrPoolSlots);
    text = NextStrSized(nullptr, 600);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(StrSizeInPool(nullptr, text), 600u);
}

} // namespace
