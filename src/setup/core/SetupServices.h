#pragma once
// The services through which Setup's logic reaches the user and the system: message boxes,
// the file chooser, starting a program, and the beeper. The windowed program installs its own
// (Qt dialogs, a detached process, the system beep); tests install recorders that answer from
// a script, so nothing ever waits on a modal loop. Without an installed set, message boxes go
// to standard error, no file is chosen, nothing is launched and nothing beeps.
//
//     SetupServices services;
//     services.MessageBox = [](MessageKind, const std::string& text) { log.push_back(text); };
//     SetSetupServices(services);
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class MessageKind { Information, Warning };
enum class BeepKind { Hand, Default };

// One entry of a file chooser's filter: a label and its patterns ("*.exe").
struct FileFilter {
    std::string Label;
    std::vector<std::string> Patterns;
};

// A button below a file chooser. Pressing it calls Pressed, which may answer a new name for
// the chooser's file name field.
struct FileRequestButton {
    std::string Text;
    int Id = 0;        // the control id, the button's object name
    bool Shown = true; // else hidden and disabled
    std::function<std::optional<std::string>()> Pressed;
};

// What a file chooser is asked for.
struct FileRequest {
    bool Open = true;        // else Save
    std::string Title;       // "Open", "Save As"
    std::string InitialPath; // initial name (Save As), empty for none
    std::vector<FileFilter> Filters;
    int FilterIndex = 0;          // the filter chosen at start
    std::string DefaultExtension; // without the dot; empty for none
    bool MustExist = false;
    bool ConfirmOverwrite = false;
    std::string AcceptText;   // the OK button's text; empty for the chooser's own
    std::string CheckBoxText; // a check box below the chooser; empty for none
    bool* CheckBox = nullptr; // its state, shown at start and written back on OK
    // A row of buttons below the chooser.
    std::vector<FileRequestButton> Buttons;
};

struct SetupServices {
    // Shows a message box captioned with the program's name; returns when it is closed.
    std::function<void(MessageKind kind, const std::string& text)> MessageBox;
    // The chosen path, or nothing when the user cancelled.
    std::function<std::optional<std::string>(const FileRequest& request)> ChooseFile;
    // Starts a program with these words (argv[0] = the program); true when it started.
    std::function<bool(const std::vector<std::string>& argv)> Launch;
    std::function<void(BeepKind kind)> Beep;
};

// Installs a set; members left empty keep the defaults described above.
void SetSetupServices(const SetupServices& services);
const SetupServices& GetSetupServices();

// Shorthands over the installed set.
void ShowMessage(MessageKind kind, const std::string& text);
std::optional<std::string> ChooseFile(const FileRequest& request);
bool LaunchProgram(const std::vector<std::string>& argv);
void Beep(BeepKind kind);
