#include "setup/core/ExportFormats.h"

#include "setup/core/ReplaceFile.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/TextFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

const ExportFormat g_ExportFormats[kExportFormatCount] = {
    {"initdata.c", "C Source File for %s API Support\t\t\t", "c", "Source",
     &ChipDef::WriteHclDataSource, 0},
    {"registers.h", "C Header File Defining all %s Registers\t\t", "h", "Register Header",
     &ChipDef::WriteRegisterHeader, 0},
    {"mode%u.h", "C Header File for %s WinCE Drivers \t\t", "h", "WinCE Header",
     &ChipDef::WriteWinCeHeader, 214},
    {"%s.h", "C Header File for %s Generic Drivers \t\t", "h", "Generic Header",
     &ChipDef::WriteGenericHeader, 221},
    {"%s.csv", "%s Register Setting Data File\t\t\t", "csv", "Comma-Separated-Value",
     &ChipDef::WriteCsv, 0},
    {"%s.txt", "%s Register Quick Reference\t\t\t", "txt", "Quick Reference",
     &ChipDef::WriteQuickReference, 0},
    {"%s.ini", "%s Import Initialization File\t\t\t", "ini", "Import", &ChipDef::WriteIniFile, 0},
};

ExportOptions g_ExportOptions{38, 0, 0x140001, 0x1};
bool g_ExportCrLf = true;

namespace {

// The folder of this run's previews; empty until the first preview.
std::string s_PreviewFolder;

// True when s_PreviewFolder is still a private folder of this user: a cleaner of temporary
// files may have removed it, and a link or another's folder may have been put under its name.
bool PreviewFolderIsOurs() {
    struct stat now {};
    return ::lstat(s_PreviewFolder.c_str(), &now) == 0 && S_ISDIR(now.st_mode) &&
           now.st_uid == ::getuid() && (now.st_mode & 077) == 0;
}

// The product's PREFIX and NAME.
std::string ProductText() {
    return g_ChipDef.GetProductText(nullptr, 0x80 | 0x01);
}

// Replaces the file with the text: a new file renamed over the old one only when every byte
// was written, so that a full disk leaves the old file as it was. False when it was not
// replaced.
bool WriteText(const std::string& path, const std::string& text) {
    std::string error;
    return ReplaceFileKeepingMode(path, reinterpret_cast<const std::uint8_t*>(text.data()),
                                  text.size(), error);
}

} // namespace

std::string GetExportFileName(uint32_t row) {
    if (row >= kExportFormatCount) {
        return "";
    }
    const std::string pattern = g_ExportFormats[row].Pattern;
    if (pattern == "mode%u.h") {
        return FormatText("mode%u.h", g_ExportOptions.ModeNumber);
    }
    const size_t at = pattern.find("%s");
    return at == std::string::npos ? pattern
                                   : pattern.substr(0, at) + ProductText() + pattern.substr(at + 2);
}

std::string GetExportRowText(uint32_t row) {
    if (row >= kExportFormatCount) {
        return "";
    }
    std::string description = g_ExportFormats[row].Description;
    const size_t at = description.find("%s");
    if (at != std::string::npos) {
        description = description.substr(0, at) + ProductText() + description.substr(at + 2);
    }
    return description + "[" + GetExportFileName(row) + "]";
}

std::string ToCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

std::string ExportPreviewFolder() {
    static bool s_RemoveAtExit = false;
    if (!s_PreviewFolder.empty() && !PreviewFolderIsOurs()) {
        s_PreviewFolder.clear(); // gone or replaced: a new one is made, the other left alone
    }
    if (s_PreviewFolder.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/q3v-export-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()) != nullptr) { // mode 0700, a new name each run
            s_PreviewFolder = name.data();
        }
        // The previews go with the program, however it ends normally.
        if (!s_PreviewFolder.empty() && !s_RemoveAtExit) {
            s_RemoveAtExit = std::atexit(RemoveExportPreviewFolder) == 0;
        }
    }
    return s_PreviewFolder;
}

void RemoveExportPreviewFolder() {
    if (s_PreviewFolder.empty()) {
        return;
    }
    if (PreviewFolderIsOurs()) { // never a folder someone else made under the name
        std::error_code ignored;
        std::filesystem::remove_all(s_PreviewFolder, ignored);
    }
    s_PreviewFolder.clear();
}

bool ExportToFile(uint32_t row, const std::string& path, bool crLf) {
    if (row >= kExportFormatCount) {
        return false;
    }
    const bool preview = path.empty();
    std::vector<char> buffer(kExportBufferSize, '\0');
    const uint32_t length = std::invoke(g_ExportFormats[row].Generator, g_ChipDef, buffer.data(),
                                        kExportBufferSize, &g_ExportOptions);
    // A generator never writes past the size it is handed; its answer is held to it as well.
    std::string text(buffer.data(), std::min<size_t>(length, kExportBufferSize));
    if (crLf || preview) {
        text = ToCrLf(text);
    }
    std::string target = path;
    // Without a private folder a preview writes nothing; the message names the file.
    bool written = false;
    if (preview) {
        const std::string folder = ExportPreviewFolder();
        target = folder.empty() ? GetExportFileName(row) : folder + "/" + GetExportFileName(row);
        written = !folder.empty() && WriteText(target, text);
    } else {
        written = WriteText(target, text);
    }
    if (!written) {
        ShowMessage(MessageKind::Warning, FormatText("Failed to create file %s", target.c_str()));
        return false;
    }
    // The INI file carries each text on one line: a text cut at its line break is named, as in
    // the file's head.
    if (g_ExportFormats[row].Generator == &ChipDef::WriteIniFile) {
        std::string cut;
        for (const std::string& name : g_ChipDef.IniTextsWithLineBreaks()) {
            cut += (cut.empty() ? "" : "\n") + name + " holds a line break, written up to it.";
        }
        if (!cut.empty()) {
            ShowMessage(MessageKind::Warning, cut);
        }
    }
    if (preview && !LaunchProgram({"xdg-open", target})) {
        ShowMessage(MessageKind::Warning,
                    FormatText("Failed to %s file %s", "preview", target.c_str()));
        return false;
    }
    return true;
}
