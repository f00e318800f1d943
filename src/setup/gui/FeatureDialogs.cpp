// Choosing and running the dialog of a feature tree node.
#include "setup/gui/FeatureDialogs.h"

#include "setup/core/FeatureValue.h"
#include "setup/core/SetupServices.h"
#include "setup/gui/DialogRunner.h"
#include "setup/gui/FeatureValueDialog.h"
#include "setup/gui/SequenceDialog.h"
#include "setup/gui/TemplateDialog.h"

bool OpenFeatureDialog(QWidget* parent, UIFeatures& model, TreeHandle node) {
    const int id = FeatureDialogFor(model, node);
    if (id < 0) {
        ShowMessage(MessageKind::Information, kTextReadOnlyFeature);
        return false;
    }
    if (id == kDialogTemplate) {
        TemplateDialog dialog(parent, model, node);
        return RunDialog(dialog) == QDialog::Accepted;
    }
    if (id == kDialogNumber || id == kDialogAddress || id == kDialogText || id == kDialogList) {
        FeatureValueDialog dialog(parent, model, node, id);
        return RunDialog(dialog) == QDialog::Accepted;
    }
    if (id == kDialogSequence) {
        SequenceDialog dialog(parent, model, node);
        return RunDialog(dialog) == QDialog::Accepted;
    }
    return false; // groups open nothing
}
