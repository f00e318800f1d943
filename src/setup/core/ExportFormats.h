#pragma once
// File > Export's logic: the seven export formats with their default file names, the options
// kept for the run, and the writing of one export to a file or to a preview opened in the
// desktop's text viewer. Previews go into a folder of their own, made for this run only.
#include "chipdef/ExportOptions.h"

#include <cstdint>
#include <string>

class ChipDef;

struct ExportFormat {
    const char* Pattern;     // default file name ("%s" = the product text, "%u" = mode number)
    const char* Description; // "%s" = the product text; tabs line the names up
    const char* Extension;
    const char* Label;
    uint32_t (ChipDef::*Generator)(char*, uint32_t, const ExportOptions*);
    int OptionsDialog; // 0 = none, 214 WinCE, 221 generic
};

inline constexpr uint32_t kExportFormatCount = 7;
inline constexpr uint32_t kExportBufferSize = 0x100000;
extern const ExportFormat g_ExportFormats[kExportFormatCount];

// The options and the CR LF choice, kept for the run.
extern ExportOptions g_ExportOptions;
extern bool g_ExportCrLf;

// The row's default file name.
std::string GetExportFileName(uint32_t row);
// The row's text in the Export dialog's list: "%s[%s]" with the description and the file name.
std::string GetExportRowText(uint32_t row);
// Every LF not preceded by CR becomes CR LF.
std::string ToCrLf(const std::string& text);
// Writes the row's export to path (a new file renamed over the old one once every byte is
// written), or previews it when path is empty (always with CR LF then).
// Failures are shown in a warning box; true on success.
bool ExportToFile(uint32_t row, const std::string& path, bool crLf);
// The folder that previews are written to (made on first use, private to this run; made anew
// when it was removed meanwhile).
std::string ExportPreviewFolder();
// Removes the preview folder with its files (not a folder put in its place by another); the
// next preview makes a new one. Runs by itself when the program exits.
void RemoveExportPreviewFolder();
