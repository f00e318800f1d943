#pragma once
// Processor affinity of the "/cpu:" switch: which of the CPUs the process may use it runs on.
#include <cstdint>
#include <vector>

// Bit i of mask selects allowed[i], the i-th CPU the process may use. A mask of 0, or one above
// the process's own mask (all of allowed, as a number), selects all of allowed.
std::vector<int> CpusFromMask(uint32_t mask, const std::vector<int>& allowed);

// The CPUs the process may use now, in ascending order.
std::vector<int> AllowedCpus();

// Makes cpus the affinity of every thread of the process; false when the system refused.
bool ApplyAffinity(const std::vector<int>& cpus);
