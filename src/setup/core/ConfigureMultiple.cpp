// Configure Multiple's browser, selection and configuring.
#include "setup/core/ConfigureMultiple.h"

#include "setup/core/ConfigurableFile.h"
#include "setup/core/FileTypes.h"
#include "setup/core/TextFormat.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
    const int order = strcasecmp(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

void InsertSorted(std::vector<std::string>& list, const std::string& item) {
    list.insert(std::lower_bound(list.begin(), list.end(), item, LessNoCase), item);
}

bool IsRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The path made absolute (against the current folder) and cleaned of "." and ".." steps and
// repeated slashes, without resolving links: a file that does not exist keeps its name.
std::string FullPath(const std::string& path) {
    if (path.empty()) {
        return path;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::string FolderEntryName(const std::string& entry) {
    if (entry.size() >= 2 && entry.front() == '[' && entry.back() == ']') {
        return entry.substr(1, entry.size() - 2);
    }
    return {};
}

ConfigureMultiple::ConfigureMultiple(std::string folder, const std::vector<std::string>& initial)
    : m_Folder(std::move(folder)) {
    Refill();
    for (const std::string& path : initial) {
        AddPath(path);
    }
}

void ConfigureMultiple::SetShowAllFiles(bool showAll) {
    m_ShowAll = showAll;
    Refill();
}

std::string ConfigureMultiple::PathOf(const std::string& entry) const {
    if (m_Folder.empty() || m_Folder.back() == '/') {
        return m_Folder + entry;
    }
    return m_Folder + "/" + entry;
}

void ConfigureMultiple::Refill() {
    m_Browser.clear();
    DIR* folder = ::opendir(m_Folder.c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == ".") {
            continue;
        }
        const std::string path = PathOf(name);
        if (IsFolder(path)) {
            InsertSorted(m_Browser, "[" + name + "]");
        } else if (m_ShowAll || IsSetupFile(path)) {
            InsertSorted(m_Browser, name);
        }
    }
    ::closedir(folder);
}

bool ConfigureMultiple::AddEntry(const std::string& entry, bool doubleClick) {
    const std::string path = PathOf(entry);
    if (IsRegularFile(path)) {
        const std::size_t before = m_Selected.size();
        AddPath(path);
        return m_Selected.size() != before;
    }
    const std::string name = FolderEntryName(entry);
    if (!doubleClick || name.empty()) {
        return false;
    }
    char resolved[PATH_MAX];
    if (::realpath(PathOf(name).c_str(), resolved) == nullptr || !IsFolder(resolved)) {
        return false;
    }
    m_Folder = resolved;
    Refill();
    return true;
}

void ConfigureMultiple::AddAll() {
    for (auto entry = m_Browser.rbegin(); entry != m_Browser.rend(); ++entry) {
        if (IsRegularFile(PathOf(*entry))) {
            AddPath(PathOf(*entry));
        }
    }
}

void ConfigureMultiple::AddPath(const std::string& path) {
    const std::string full = FullPath(path);
    if (std::find(m_Selected.begin(), m_Selected.end(), full) == m_Selected.end()) {
        InsertSorted(m_Selected, full);
    }
}

void ConfigureMultiple::Remove(const std::string& path) {
    const auto found = std::find(m_Selected.begin(), m_Selected.end(), FullPath(path));
    if (found != m_Selected.end()) {
        m_Selected.erase(found);
    }
}

void ConfigureMultiple::RemoveAll() {
    m_Selected.clear();
}

bool ConfigureMultiple::Configure(bool preservePhysicalAddresses, std::string& summary) {
    if (m_Selected.empty()) {
        summary = kTextNoFilesSelected;
        return false;
    }
    summary = "Summary of configured files:\n\n";
    for (const std::string& path : m_Selected) {
        const bool saved = SaveConfigurableFile(path.c_str(), nullptr, preservePhysicalAddresses);
        summary += FormatText("%s\t%s\n", saved ? "OK" : "Error", path.c_str());
    }
    return true;
}
