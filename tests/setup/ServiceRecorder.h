#pragma once
// A service set for tests: it keeps every message box, launch and beep, and answers file
// choosers from a script, so nothing waits on a dialog.
#include "setup/core/SetupServices.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Records what Setup shows and launches; answers file choosers in order.
struct ServiceRecorder {
    struct Message {
        MessageKind Kind;
        std::string Text;
    };
    std::vector<Message> Messages;
    std::deque<std::string> Answers; // the chooser's answers; none left = cancel
    std::vector<FileRequest> Requests;
    std::vector<std::vector<std::string>> Launched;
    std::vector<BeepKind> Beeps;
    // Runs while a chooser is open, before it answers: a test presses the request's buttons.
    std::function<void(const FileRequest&)> OnRequest;

    void Install() {
        SetupServices services;
        services.MessageBox = [this](MessageKind kind, const std::string& text) {
            Messages.push_back({kind, text});
        };
        services.ChooseFile = [this](const FileRequest& request) -> std::optional<std::string> {
            Requests.push_back(request);
            if (OnRequest) {
                OnRequest(request);
            }
            if (Answers.empty()) {
                return std::nullopt;
            }
            std::string answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
        services.Launch = [this](const std::vector<std::string>& argv) {
            Launched.push_back(argv);
            return true;
        };
        services.Beep = [this](BeepKind kind) { Beeps.push_back(kind); };
        SetSetupServices(services);
    }
    std::string LastMessage() const { return Messages.empty() ? "" : Messages.back().Text; }
};
