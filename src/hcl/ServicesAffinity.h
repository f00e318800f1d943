#pragma once
// Processor affinity of the process, one service for every part that pins it (the kernel-driver
// transport, Play's "/cpu:" switch): bit i of a mask selects the i-th processor the process may
// use, so mask 1 is the first processor the process may use, whatever its number.

#include <cstdint>
#include <span>
#include <vector>

// The processors the process may use now, in ascending order.
std::vector<int> oxAllowedCpus();

// The processors a mask selects: bit i selects allowed[i]. A mask of 0, or one above the
// process's own mask (all of allowed, as a number), selects all of allowed.
std::vector<int> oxCpusFromMask(std::uint32_t mask, std::span<const int> allowed);

// Makes cpus the affinity of every thread of the process (threads started later inherit it);
// false when cpus is empty or the system refused.
bool oxApplyAffinity(std::span<const int> cpus);

// Pins the process to the processors that mask selects among those it may use now (above);
// false when the system refused.
bool oxSetProcessAffinityMask(std::uint32_t mask);
