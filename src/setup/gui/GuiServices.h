#pragma once
// The windowed program's services: message boxes captioned with the program's name and
// centred over the main window, Qt's own file dialog (never a native one), a detached process
// for Save and Run, and the system beep. Message boxes and file dialogs go through the dialog
// runner, so tests can look at them without a modal loop.
//
//     InstallGuiServices(&mainWindow);
#include "setup/core/SetupServices.h"

#include <QFileDialog>
#include <QMessageBox>
#include <memory>

class QWidget;

void InstallGuiServices(QWidget* owner);

// The box that MessageBox shows; a report too large for the screen scrolls (ReportBox.h).
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, MessageKind kind,
                                            const std::string& text);
// The dialog that ChooseFile shows, a FileChooser.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const FileRequest& request);
