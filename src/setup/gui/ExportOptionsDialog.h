#pragma once
// The options dialogs of the driver header exports: "WinCE Export Options" (214) with the mode
// number, the cursor and the acceleration, and "Generic Export Options" (221) with the cursor
// and the acceleration only. They show the export options kept for the run; OK keeps the
// choices, Cancel changes nothing.
//
//     ExportOptionsDialog dialog(owner, 214);
//     if (RunDialog(dialog) == QDialog::Accepted) { dialog.Keep(); }
#include <QDialog>

class QCheckBox;
class QRadioButton;
class QSpinBox;

class ExportOptionsDialog : public QDialog {
    Q_OBJECT
public:
    ExportOptionsDialog(QWidget* parent, int dialogId);

    // Writes the mode number (WinCE) and the three flag bits into the export options.
    void Keep();
    // The mode number's spin box ("2403", its edit "2402"); nullptr in the generic dialog.
    QSpinBox* ModeNumber() const { return m_ModeNumber; }

private:
    bool m_WinCe;
    QSpinBox* m_ModeNumber = nullptr;
    QRadioButton* m_NoCursor = nullptr;
    QRadioButton* m_SoftwareCursor = nullptr;
    QCheckBox* m_SoftwareAcceleration = nullptr;
    QCheckBox* m_HardwareAcceleration = nullptr;
};

// Runs the options dialog 214 or 221 and keeps its choices on OK.
void RunExportOptionsDialog(QWidget* owner, int dialogId);
