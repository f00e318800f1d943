// Whether an open file is still the file at its name.

#include "common/NamedFile.h"

#include <sys/stat.h>

namespace {

// A status-change time this recent (by the coarse clock the file system stamps with) may be
// followed by another change in the same tick: the name is looked up until it is older.
constexpr std::int64_t kRecentNs = 50'000'000;

std::int64_t Nanoseconds(const std::timespec& time) {
    return std::int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec;
}

bool SameTime(const std::timespec& a, const std::timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

bool NamedFile::StillAtName(std::uint64_t minSize) {
    struct stat open {};
    if (::fstat(m_Fd, &open) != 0 || open.st_nlink == 0 ||
        static_cast<std::uint64_t>(open.st_size) < minSize) {
        return false;
    }
    std::lock_guard lock(m_Mutex);
    if (SameTime(open.st_ctim, m_Checked)) {
        return true;
    }
    struct stat named {};
    if (::stat(m_Path.c_str(), &named) != 0 || named.st_dev != open.st_dev ||
        named.st_ino != open.st_ino) {
        return false;
    }
    std::timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    m_Checked =
        Nanoseconds(now) - Nanoseconds(open.st_ctim) > kRecentNs ? open.st_ctim : std::timespec{};
    return true;
}
