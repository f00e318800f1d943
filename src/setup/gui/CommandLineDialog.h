#pragma once
// The Command Line dialog: the program arguments that Save and Run hands to the file. OK keeps
// the edited text, Cancel the old one.
//
//     CommandLineDialog dialog(this);
//     if (RunDialog(dialog) == QDialog::Accepted) { dialog.Keep(); }
#include <QDialog>

class QLineEdit;
class QLabel;

class CommandLineDialog : public QDialog {
    Q_OBJECT
public:
    explicit CommandLineDialog(QWidget* parent);
    // Stores the edited text as the program arguments (up to 4096 characters).
    void Keep();
    QLineEdit* Edit() const { return m_Edit; }

private:
    QLabel* m_Label;
    QLineEdit* m_Edit;
};
