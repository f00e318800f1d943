// The installed way of running modal dialogs.
#include "setup/gui/DialogRunner.h"

#include <QDialog>

namespace {

DialogRunner& Installed() {
    static DialogRunner s_Runner;
    return s_Runner;
}

} // namespace

void SetDialogRunner(DialogRunner runner) {
    Installed() = std::move(runner);
}

int RunDialog(QDialog& dialog) {
    if (Installed()) {
        return Installed()(dialog);
    }
    return dialog.exec();
}
