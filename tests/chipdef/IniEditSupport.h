#pragma once
// What the tests of INI files edited by hand share: the built-in block's register list written
// out, edits of an exported INI text line by line, and the import of an edited export.
#include "ExportSupport.h"

#include "hcl/HclData.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace initest {

using RegList = std::vector<oxHclRegEntry>;
using LcdList = std::vector<uint32_t>;

// The built-in block's register list, up to and including its end pair.
inline const RegList kBuiltInList = {
    {0x06, 0x0100}, {0xFE, 0x2710}, {0x04, 0x0000}, {0x10, 0x0000}, {0x12, 0x000F}, {0x14, 0x0029},
    {0x10, 0x0001}, {0xFC, 0x09C4}, {0x16, 0x0006}, {0x04, 0x0001}, {0xFC, 0x09C4}, {0x20, 0x004F},
    {0x22, 0x0001}, {0x24, 0x003C}, {0x26, 0x002D}, {0x28, 0x0110}, {0x2A, 0x0010}, {0x2C, 0x0001},
    {0x2E, 0x0005}, {0x30, 0x0001}, {0x32, 0x0008}, {0x40, 0x0000}, {0x42, 0x0000}, {0x44, 0x0000},
    {0x50, 0x0000}, {0x52, 0x8400}, {0x54, 0x0003}, {0x56, 0x0040}, {0x58, 0x0040}, {0x5A, 0x00A0},
    {0x5C, 0x0000}, {0x60, 0x0001}, {0x62, 0x0040}, {0x64, 0x0000}, {0x66, 0x0000}, {0x68, 0x0000},
    {0xD0, 0x0001}, {0xD2, 0x0001}, {0xD4, 0x0000}, {0x04, 0x0002}, {0xFF, 0x0000}};

// The built-in list without the pairs at these positions.
inline RegList BuiltInWithout(std::vector<size_t> positions) {
    RegList list;
    for (size_t i = 0; i < kBuiltInList.size(); ++i) {
        if (std::find(positions.begin(), positions.end(), i) == positions.end()) {
            list.push_back(kBuiltInList[i]);
        }
    }
    return list;
}

// The text with each line of one section rewritten by line(key, value): its result replaces
// the line, and an empty result deletes it. Other lines stay as they are.
using LineEdit = std::function<std::string(const std::string& key, const std::string& value)>;
inline std::string EditSection(const std::string& ini, const std::string& section,
                               const LineEdit& line) {
    std::istringstream in(ini);
    std::string out;
    std::string current;
    for (std::string text; std::getline(in, text);) {
        if (!text.empty() && text.front() == '[') {
            current = text;
        } else if (current == "[" + section + "]" && text.find('=') != std::string::npos) {
            const size_t equals = text.find('=');
            text = line(text.substr(0, equals), text.substr(equals + 1));
            if (text.empty()) {
                continue;
            }
        }
        out += text + "\n";
    }
    return out;
}

// The text with the body of one section replaced by these lines.
inline std::string SetSection(const std::string& ini, const std::string& section,
                              const std::string& body) {
    const std::string head = "[" + section + "]\n";
    const size_t start = ini.find(head);
    if (start == std::string::npos) {
        return ini + "\n" + head + body;
    }
    const size_t bodyStart = start + head.size();
    const size_t end = ini.find("\n\n", bodyStart);
    return ini.substr(0, bodyStart) + body + (end == std::string::npos ? "" : ini.substr(end + 1));
}

inline std::string RenameKeys(const std::string& ini, const std::string& section) {
    return EditSection(ini, section, [](const std::string& key, const std::string& value) {
        return "r" + key + "=" + value;
    });
}

inline std::string DeleteKey(const std::string& ini, const std::string& section,
                             const std::string& deleted) {
    return EditSection(ini, section, [deleted](const std::string& key, const std::string& value) {
        return key == deleted ? std::string() : key + "=" + value;
    });
}

// The text with the value of one key of a section changed.
inline std::string SetValue(const std::string& ini, const std::string& section,
                            const std::string& changed, const std::string& newValue) {
    return EditSection(ini, section,
                       [changed, newValue](const std::string& key, const std::string& value) {
                           return key + "=" + (key == changed ? newValue : value);
                       });
}

// The text with a line put after the line of one key of a section.
inline std::string InsertAfter(const std::string& ini, const std::string& section,
                               const std::string& after, const std::string& line) {
    return EditSection(ini, section,
                       [after, line](const std::string& key, const std::string& value) {
                           return key + "=" + value + (key == after ? "\n" + line : "");
                       });
}

// The text without one section, its head line and its body.
inline std::string DeleteSection(const std::string& ini, const std::string& section) {
    std::istringstream in(ini);
    std::string out;
    bool inside = false;
    for (std::string text; std::getline(in, text);) {
        if (!text.empty() && text.front() == '[') {
            inside = text == "[" + section + "]";
        }
        if (!inside) {
            out += text + "\n";
        }
    }
    return out;
}

// The built-in block's INI export, edited, imported into chip (replacing its register list or
// merged into it): the import's answer, with its report.
inline bool ImportEditedExport(ChipDef& chip,
                               const std::function<std::string(const std::string&)>& edit,
                               bool replace, std::string* report) {
    ChipDef exporter;
    const std::string ini = edit(exporttest::Generate(exporter, &ChipDef::WriteIniFile));
    char text[16384] = "unset";
    const bool taken =
        chip.ImportIni(IniFile::Parse(ini), "edited.ini", text, sizeof text, replace);
    *report = text;
    return taken;
}

} // namespace initest
