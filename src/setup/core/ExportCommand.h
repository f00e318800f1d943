#pragma once
// File > Export after a format is chosen: the Save dialog "Export As" with the format's file
// name, filter and extension and the buttons "Pre&view" and "&Options" below it, then the
// writing of the export to the chosen file. The options dialogs themselves are the window's:
// the caller hands in how to run one.
//
//     ExportAs(row, [&](int dialogId) { RunExportOptionsDialog(owner, dialogId); });
#include "setup/core/SetupServices.h"

#include <cstdint>
#include <functional>

// The buttons below the Save dialog.
inline constexpr int kIdExportOptions = 2301;
inline constexpr int kIdExportPreview = 2302;

// The bits that the options dialogs set in the WinCE and the generic flags.
inline constexpr uint32_t kExportSoftwareCursor = 0x20000;
inline constexpr uint32_t kExportSoftwareAcceleration = 0x100000;
inline constexpr uint32_t kExportHardwareAcceleration = 0x40000;

using ExportOptionsRunner = std::function<void(int dialogId)>;

// The Save dialog's request for the row. "&Options" (shown for rows with an options dialog)
// runs it through runOptions and answers the row's file name, which may hold a new mode number.
FileRequest ExportSaveRequest(uint32_t row, const ExportOptionsRunner& runOptions);
// Asks for a file name and writes the row's export there with the CR LF choice. False when
// the user cancelled or the file could not be written.
bool ExportAs(uint32_t row, const ExportOptionsRunner& runOptions);

// The flags with the cursor and acceleration bits cleared and set from the choices; the other
// bits are kept.
uint32_t ExportFlagsWith(uint32_t flags, bool softwareCursor, bool softwareAcceleration,
                         bool hardwareAcceleration);
