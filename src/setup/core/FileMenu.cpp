// Open, Save and Save As of the File menu.
#include "setup/core/FileMenu.h"

#include "setup/core/ConfigurableFile.h"
#include "setup/core/FileTypes.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/TextFormat.h"

std::string SavedText(const std::string& path) {
    return FormatText("Configuration data saved in file \"%s\".", path.c_str());
}

bool OnFileOpen() {
    FileRequest request;
    request.Open = true;
    request.Title = "Open";
    request.Filters = OpenFilters();
    request.FilterIndex = 0;
    request.DefaultExtension = "exe";
    request.MustExist = true;
    const std::optional<std::string> path = ChooseFile(request);
    if (!path || !LoadConfigurableFile(path->c_str())) {
        return false;
    }
    g_OpenPath = *path;
    g_EverOpened = true;
    return true;
}

bool OnFileSave() {
    if (g_OpenPath.empty() || !SaveConfigurableFile(g_OpenPath.c_str(), nullptr, false)) {
        return false;
    }
    ShowMessage(MessageKind::Information, SavedText(g_OpenPath));
    return true;
}

bool OnFileSaveAs() {
    if (g_OpenPath.empty()) {
        return false;
    }
    const SaveAsChoice choice = SaveAsFilters(g_OpenPath);
    FileRequest request;
    request.Open = false;
    request.Title = "Save As";
    request.InitialPath = g_OpenPath;
    request.Filters = choice.Filters;
    request.DefaultExtension = choice.DefaultExtension;
    request.ConfirmOverwrite = true;
    const std::optional<std::string> path = ChooseFile(request);
    if (!path || !SaveConfigurableFile(g_OpenPath.c_str(), path->c_str(), false)) {
        return false;
    }
    g_OpenPath = *path;
    ShowMessage(MessageKind::Information, SavedText(g_OpenPath));
    return true;
}
