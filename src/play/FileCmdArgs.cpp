// Arguments and file helpers of FDUMP and FLOAD.
#include "play/FileCmdArgs.h"

#include "common/ByteOrder.h"
#include "platform/PathCase.h"
#include "play/ArgParsers.h"
#include "play/FileCommands.h"
#include "play/MemCommands.h"
#include "play/Output.h"
#include "play/WindowHelpers.h"

#include <cctype>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

const char* StrRChr(const char* text, char ch) {
    return text == nullptr ? nullptr : std::strrchr(text, ch);
}

namespace filecmd {

FileArea ParseFileArea(const char* word, bool windows) {
    static const struct {
        const char* Name;
        FileArea Area;
        bool Window;
    } kAreas[] = {{"MEM", FileArea::kMem, false},  {"M", FileArea::kMem, false},
                  {"REG", FileArea::kReg, false},  {"R", FileArea::kReg, false},
                  {"SYS", FileArea::kSys, false},  {"S", FileArea::kSys, false},
                  {"MAIN", FileArea::kMain, true}, {"PIP", FileArea::kPip, true}};
    for (const auto& area : kAreas) {
        if (strcasecmp(word, area.Name) == 0 && (windows || !area.Window)) {
            return area.Area;
        }
    }
    return FileArea::kNone;
}

bool TakeStartWord(const char* word, FileArea area, uint32_t* start) {
    if (ParseStartOperand(word, 0, 0, start) != 0 ||
        (area == FileArea::kMem && *start >= kMemAddressSpace)) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid start address.\n", word);
    }
    return true;
}

bool IsOptionWord(const char* word) {
    return word[0] != '\0' && (word[1] == ':' || word[1] == '=');
}

const char* OptionValue(const char* word, const char* name) {
    const size_t length = std::strlen(name);
    if (strncasecmp(word, name, length) != 0 || (word[length] != ':' && word[length] != '=')) {
        return nullptr;
    }
    return word + length + 1;
}

bool ParseOnOff(const char* text, bool* on) {
    if (strcasecmp(text, "ON") == 0) {
        *on = true;
        return true;
    }
    if (strcasecmp(text, "OFF") == 0) {
        *on = false;
        return true;
    }
    return false;
}

bool ParseFileFormat(const char* text, bool alsoAliases, int32_t* row) {
    uint32_t format = 0;
    if (ParseNumber(text, 16, &format) != 0) {
        return false;
    }
    const bool accepted = format == 0 || format == 1 || format == 2 || format == 6 ||
                          (alsoAliases && (format == 4 || format == 5));
    return accepted && WindowFormatRow(format, row);
}

bool HasExtension(const std::string& name, const char* ext) {
    const char* dot = StrRChr(name.c_str(), '.');
    return dot != nullptr && strcasecmp(dot, ext) == 0;
}

namespace {

// A folder opens as a stream here, but it has no bytes to read and no length.
bool IsFolder(FILE* file) {
    struct stat info {};
    return ::fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

FILE* OpenExistingFile(const std::string& name, const char* mode) {
    FILE* file = std::fopen(name.c_str(), mode);
    if (file != nullptr && !IsFolder(file)) {
        return file;
    }
    if (file != nullptr) {
        std::fclose(file);
    }
    const std::string found = FindRegularFileIgnoringCase(name);
    return found.empty() || found == name ? nullptr : std::fopen(found.c_str(), mode);
}

bool AppendUnit(FILE* file, uint32_t value, uint32_t unit) {
    uint8_t bytes[4];
    StoreLe(bytes, unit, value);
    return std::fwrite(bytes, 1, unit, file) == unit;
}

bool ReadUnit(FILE* file, uint32_t unit, uint32_t* value) {
    uint8_t bytes[4] = {};
    if (std::fread(bytes, 1, unit, file) == 0) {
        return false;
    }
    *value = LoadLe(bytes, unit);
    return true;
}

uint64_t FileLength(FILE* file) {
    const long here = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    const long end = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return end < 0 ? 0 : static_cast<uint64_t>(end);
}

bool ReportFileError(uint32_t code, const char* word) {
    if (code == FILE_ERROR_NONE) {
        return true;
    }
    if (code == FILE_ERROR_REPORTED) {
        return false;
    }
    if (code == FILE_ERROR_ENTRY) {
        return PlayPrint(CAT_ERR, "ERROR: %s '%s'\n", FileErrorText(code), word);
    }
    return PlayPrint(CAT_ERR, "ERROR: %s\n", FileErrorText(code));
}

} // namespace filecmd
