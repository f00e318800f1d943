// The Save dialog of File > Export and the options' flag bits.
#include "setup/core/ExportCommand.h"

#include "setup/core/ExportFormats.h"

FileRequest ExportSaveRequest(uint32_t row, const ExportOptionsRunner& runOptions) {
    FileRequest request;
    if (row >= kExportFormatCount) {
        return request;
    }
    const ExportFormat& format = g_ExportFormats[row];
    const std::string extension = format.Extension;
    request.Open = false;
    request.Title = "Export As";
    request.InitialPath = GetExportFileName(row);
    request.Filters = {
        {std::string(format.Label) + " Files (*." + extension + ")", {"*." + extension}},
        {"All Files (*.*)", {"*.*"}},
    };
    request.DefaultExtension = extension;
    request.ConfirmOverwrite = true;
    request.AcceptText = "&Export";

    FileRequestButton preview;
    preview.Text = "Pre&view";
    preview.Id = kIdExportPreview;
    preview.Pressed = [row]() -> std::optional<std::string> {
        ExportToFile(row, "", true);
        return std::nullopt;
    };
    FileRequestButton options;
    options.Text = "&Options";
    options.Id = kIdExportOptions;
    options.Shown = format.OptionsDialog != 0;
    const int dialogId = format.OptionsDialog;
    options.Pressed = [row, dialogId, runOptions]() -> std::optional<std::string> {
        if (dialogId == 0 || !runOptions) {
            return std::nullopt;
        }
        runOptions(dialogId);
        return GetExportFileName(row);
    };
    request.Buttons = {preview, options};
    return request;
}

bool ExportAs(uint32_t row, const ExportOptionsRunner& runOptions) {
    if (row >= kExportFormatCount) {
        return false;
    }
    const std::optional<std::string> path = ChooseFile(ExportSaveRequest(row, runOptions));
    if (!path || path->empty()) {
        return false;
    }
    return ExportToFile(row, *path, g_ExportCrLf);
}

uint32_t ExportFlagsWith(uint32_t flags, bool softwareCursor, bool softwareAcceleration,
                         bool hardwareAcceleration) {
    flags &= ~(kExportSoftwareCursor | kExportSoftwareAcceleration | kExportHardwareAcceleration);
    if (softwareCursor) {
        flags |= kExportSoftwareCursor;
    }
    if (softwareAcceleration) {
        flags |= kExportSoftwareAcceleration;
    }
    if (hardwareAcceleration) {
        flags |= kExportHardwareAcceleration;
    }
    return flags;
}
