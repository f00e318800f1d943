// The installed service set and its defaults.
#include "setup/core/SetupServices.h"

#include <cstdio>

namespace {

SetupServices MakeDefaults() {
    SetupServices services;
    services.MessageBox = [](MessageKind, const std::string& text) {
        std::fprintf(stderr, "%s\n", text.c_str());
    };
    services.ChooseFile = [](const FileRequest&) { return std::optional<std::string>(); };
    services.Launch = [](const std::vector<std::string>&) { return false; };
    services.Beep = [](BeepKind) {};
    return services;
}

SetupServices& Installed() {
    static SetupServices s_Services = MakeDefaults();
    return s_Services;
}

} // namespace

void SetSetupServices(const SetupServices& services) {
    const SetupServices defaults = MakeDefaults();
    SetupServices& installed = Installed();
    installed.MessageBox = services.MessageBox ? services.MessageBox : defaults.MessageBox;
    installed.ChooseFile = services.ChooseFile ? services.ChooseFile : defaults.ChooseFile;
    installed.Launch = services.Launch ? services.Launch : defaults.Launch;
    installed.Beep = services.Beep ? services.Beep : defaults.Beep;
}

const SetupServices& GetSetupServices() {
    return Installed();
}

void ShowMessage(MessageKind kind, const std::string& text) {
    Installed().MessageBox(kind, text);
}

std::optional<std::string> ChooseFile(const FileRequest& request) {
    return Installed().ChooseFile(request);
}

bool LaunchProgram(const std::vector<std::string>& argv) {
    return Installed().Launch(argv);
}

void Beep(BeepKind kind) {
    Installed().Beep(kind);
}
