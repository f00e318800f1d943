// The processor affinity of the process (Play's "/cpu:" switch, the kernel-driver transport).
#include "hcl/ServicesAffinity.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(CpuMask, BitsSelectTheAllowedCpusInOrder) {
    using Cpus = std::vector<int>;
    const struct {
        uint32_t Mask;
        Cpus Allowed;
        Cpus Selected;
    } cases[] = {
        {1, {0, 1, 2, 3}, {0}},
        {3, {0, 1, 2, 3}, {0, 1}},
        {0xA, {0, 1, 2, 3}, {1, 3}},
        {0xF, {0, 1, 2, 3}, {0, 1, 2, 3}},
        // 0, and a mask above the process's own, mean the process's own mask.
        {0, {0, 1, 2, 3}, {0, 1, 2, 3}},
        {0x10, {0, 1, 2, 3}, {0, 1, 2, 3}},
        {0xFFFFFFFF, {0, 1, 2, 3}, {0, 1, 2, 3}},
        // Bit i is the i-th CPU the process may use, not CPU number i.
        {1, {2, 5, 7}, {2}},
        {2, {2, 5, 7}, {5}},
        {5, {2, 5, 7}, {2, 7}},
        {8, {2, 5, 7}, {2, 5, 7}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(oxCpusFromMask(c.Mask, c.Allowed), c.Selected) << std::hex << c.Mask;
    }
    // With 32 or more CPUs every mask selects something.
    Cpus many;
    for (int i = 0; i < 40; ++i) {
        many.push_back(i);
    }
    EXPECT_EQ(oxCpusFromMask(0x80000000u, many), Cpus{31});
}

TEST(CpuMask, ApplyingTheAllowedSetKeepsIt) {
    const std::vector<int> allowed = oxAllowedCpus();
    ASSERT_FALSE(allowed.empty());
    EXPECT_TRUE(oxApplyAffinity(oxCpusFromMask(0, allowed)));
    EXPECT_EQ(oxAllowedCpus(), allowed);
}
