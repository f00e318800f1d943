#pragma once
// How Setup runs its modal dialogs. The program runs them with exec(); tests install a runner
// that looks at the dialog, presses its buttons and returns, so no test waits on a modal loop.
//
//     SetDialogRunner([](QDialog& dialog) { Screenshot(dialog); return 0; });
#include <functional>

class QDialog;

using DialogRunner = std::function<int(QDialog& dialog)>;

// Installs a runner; an empty one restores exec().
void SetDialogRunner(DialogRunner runner);
int RunDialog(QDialog& dialog);
