#pragma once
// Temporary folders of the tests and benchmarks under $TMPDIR (when it names a folder; else
// /tmp), removed with everything in them:
// - TempFolder: one folder, removed when the object goes (at the end of a test or a fixture);
// - ProgramTempFolder: one folder per name prefix for the whole test program, for state that
//   must stay at one path while the program runs (simulated boards and their lock files, which
//   the layer opens once per process); removed when the program ends.

#include <cstdlib>
#include <filesystem>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace q3vtest {

// $TMPDIR without trailing slashes when it names an existing folder, else "/tmp".
inline std::string TempRoot() {
    std::string root;
    if (const char* dir = std::getenv("TMPDIR"); dir != nullptr) {
        root = dir;
    }
    while (root.size() > 1 && root.back() == '/') {
        root.pop_back();
    }
    struct stat info {};
    if (root.empty() || stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        root = "/tmp";
    }
    return root;
}

// Makes "<TempRoot()>/<prefix>-XXXXXX"; "" when no folder can be made.
inline std::string MakeTempFolder(std::string_view prefix) {
    std::string pattern = TempRoot() + "/" + std::string(prefix) + "-XXXXXX";
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

inline void RemoveFolder(const std::string& folder) {
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

class TempFolder {
public:
    explicit TempFolder(std::string_view prefix) : m_Path(MakeTempFolder(prefix)) {}
    ~TempFolder() { RemoveFolder(m_Path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // "" when the folder could not be made.
    const std::string& Path() const { return m_Path; }
    std::string File(std::string_view name) const { return m_Path + "/" + std::string(name); }

private:
    std::string m_Path;
};

namespace detail {
// Folders to remove at exit. Never destroyed, so that the clean-up at exit (which runs after
// the destructors of statics made later) still finds them. Only the process that made them
// removes them: a forked child that ends with exit() leaves them to its parent.
struct ProgramFolders {
    pid_t Maker = getpid();
    std::mutex Guard;
    std::list<std::pair<std::string, std::string>> ByPrefix; // a list: references stay valid
};
inline ProgramFolders& Folders() {
    static ProgramFolders* s_Folders = [] {
        auto* folders = new ProgramFolders;
        std::atexit([] {
            if (getpid() != Folders().Maker) {
                return;
            }
            for (const auto& [prefix, folder] : Folders().ByPrefix) {
                RemoveFolder(folder);
            }
        });
        return folders;
    }();
    return *s_Folders;
}
} // namespace detail

// The program's folder for the prefix, made at the first call; "/tmp" when none can be made.
// The returned text stays valid until the program ends.
inline const std::string& ProgramTempFolder(std::string_view prefix) {
    auto& folders = detail::Folders();
    std::lock_guard<std::mutex> guard(folders.Guard);
    for (const auto& [known, folder] : folders.ByPrefix) {
        if (known == prefix) {
            return folder;
        }
    }
    std::string made = MakeTempFolder(prefix);
    if (made.empty()) {
        static const std::string s_Fallback = "/tmp";
        return s_Fallback;
    }
    return folders.ByPrefix.emplace_back(std::string(prefix), std::move(made)).second;
}

} // namespace q3vtest
