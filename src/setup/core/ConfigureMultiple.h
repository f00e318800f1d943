#pragma once
// Configure Multiple: a browser over one folder (sub-folders as "[name]", "[..]" to go up,
// files filtered to configurable ones unless all are shown), a sorted list of selected files
// without repeats, and Configure, which stores g_ChipDef's block into every selected file in
// place and sums up the outcome. The dialog shows these lists and calls these operations.
//
//     ConfigureMultiple model("/tmp", {"/tmp/play"});
//     model.AddEntry("[..]", true);             // double-click: up to "/"
//     std::string summary = model.Configure(false);
#include <string>
#include <vector>

inline constexpr const char kTextNoFilesSelected[] = "ERROR: No files selected!";

class ConfigureMultiple {
public:
    ConfigureMultiple(std::string folder, const std::vector<std::string>& initial);

    const std::string& Folder() const { return m_Folder; }
    const std::vector<std::string>& Browser() const { return m_Browser; }
    const std::vector<std::string>& Selected() const { return m_Selected; }
    bool ShowAllFiles() const { return m_ShowAll; }

    // Chooses "Show all files" or "Setup files only" and refills the browser.
    void SetShowAllFiles(bool showAll);
    void Refill();

    // Adds a browser entry that names a file; on a double-click, an entry that names a folder
    // is entered instead. True when something changed.
    bool AddEntry(const std::string& entry, bool doubleClick);
    // Adds every browser entry that names a file.
    void AddAll();
    // Adds a path (dropped or handed in) unless it is already selected. Every selected path is
    // full: made absolute against the current folder and cleaned of "." and ".." steps (links
    // are not resolved), so that one file is listed once however it was named.
    void AddPath(const std::string& path);
    void Remove(const std::string& path);
    void RemoveAll();

    // Saves every selected file in place; the summary, or kTextNoFilesSelected with none.
    // Returns false when no file was selected.
    bool Configure(bool preservePhysicalAddresses, std::string& summary);

private:
    std::string PathOf(const std::string& entry) const;
    std::string m_Folder;
    bool m_ShowAll = false;
    std::vector<std::string> m_Browser;
    std::vector<std::string> m_Selected;
};

// The folder name of a browser entry "[name]"; empty when the entry is a file.
std::string FolderEntryName(const std::string& entry);
