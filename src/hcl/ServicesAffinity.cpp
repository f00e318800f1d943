// Processor affinity of the process over sched_setaffinity.

#include "hcl/ServicesAffinity.h"

#include <cstdlib>
#include <dirent.h>
#include <sched.h>
#include <sys/types.h>

std::vector<int> oxAllowedCpus() {
    std::vector<int> cpus;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) != 0) {
        return cpus;
    }
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &set)) {
            cpus.push_back(cpu);
        }
    }
    return cpus;
}

std::vector<int> oxCpusFromMask(std::uint32_t mask, std::span<const int> allowed) {
    const std::uint32_t own = allowed.size() >= 32
                                  ? 0xFFFFFFFFu
                                  : static_cast<std::uint32_t>((1ull << allowed.size()) - 1);
    if (mask == 0 || mask > own) {
        return std::vector<int>(allowed.begin(), allowed.end());
    }
    std::vector<int> cpus;
    for (std::size_t i = 0; i < allowed.size() && i < 32; ++i) {
        if ((mask >> i) & 1u) {
            cpus.push_back(allowed[i]);
        }
    }
    return cpus;
}

bool oxApplyAffinity(std::span<const int> cpus) {
    if (cpus.empty()) {
        return false;
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int cpu : cpus) {
        CPU_SET(cpu, &set);
    }
    // The mask is the process's: every thread that runs now takes it, and threads started later
    // inherit it.
    bool ok = sched_setaffinity(0, sizeof(set), &set) == 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks)) {
            const pid_t tid = static_cast<pid_t>(std::atoi(entry->d_name));
            if (tid > 0) {
                ok = sched_setaffinity(tid, sizeof(set), &set) == 0 && ok;
            }
        }
        closedir(tasks);
    }
    return ok;
}

bool oxSetProcessAffinityMask(std::uint32_t mask) {
    const std::vector<int> allowed = oxAllowedCpus();
    return oxApplyAffinity(oxCpusFromMask(mask, allowed));
}
