#pragma once
// What Setup's window tests share: the recorder of message boxes and launches installed as the
// services, a dialog runner that hands each dialog to the test instead of a modal loop, a
// temporary folder, and screenshots under build/screenshots/.
#include "setup/ServiceRecorder.h"
#include "setup/core/SetupState.h"
#include "setup/gui/DialogRunner.h"

#include <QDialog>
#include <QDir>
#include <QWidget>
#include <functional>
#include <string>

// Saves a picture of the widget as build/screenshots/<name>.png.
inline void Screenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(Q3V_SOURCE_DIR "/build/screenshots");
    QDir().mkpath(folder);
    widget.grab().save(folder + "/" + name + ".png");
}

// Dialogs shown while the object lives go to onDialog (which answers with the dialog's result);
// without it they are rejected at once.
class DialogRecorder {
public:
    std::function<int(QDialog&)> OnDialog;
    QStringList Shown; // object names of the dialogs, in order
    DialogRecorder() {
        SetDialogRunner([this](QDialog& dialog) {
            Shown << (dialog.objectName().isEmpty() ? dialog.windowTitle() : dialog.objectName());
            return OnDialog ? OnDialog(dialog) : static_cast<int>(QDialog::Rejected);
        });
    }
    ~DialogRecorder() { SetDialogRunner({}); }
};
