// Processor affinity over sched_setaffinity: bit i of a mask is the i-th allowed CPU.
#include "play/Affinity.h"

#include <cstdlib>
#include <dirent.h>
#include <sched.h>
#include <sys/types.h>

std::vector<int> CpusFromMask(uint32_t mask, const std::vector<int>& allowed) {
    const uint32_t own =
        allowed.size() >= 32 ? 0xFFFFFFFFu : static_cast<uint32_t>((1ull << allowed.size()) - 1);
    if (mask == 0 || mask > own) {
        return allowed;
    }
    std::vector<int> cpus;
    for (size_t i = 0; i < allowed.size() && i < 32; ++i) {
        if ((mask >> i) & 1u) {
            cpus.push_back(allowed[i]);
        }
    }
    return cpus;
}

std::vector<int> AllowedCpus() {
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

bool ApplyAffinity(const std::vector<int>& cpus) {
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
