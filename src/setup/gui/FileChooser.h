#pragma once
// Setup's file chooser: Qt's own file dialog, with names typed into its file name field taken
// as the system takes them. A chooser whose file must exist (Open, Import) tries the typed name
// with the default extension first, when that file exists, then the name as typed (relative to
// the folder the chooser shows); when neither exists the chooser's "File not found." box names
// the name with the extension and the chooser stays open. Its Open button is enabled for a name
// that one of the two finds. A Save chooser (Save As, Export As) adds the default extension to
// every typed name without one, so "regs" in Export As is "regs.h" even beside a file "regs".
//
//     FileChooser chooser(owner, "Open", "exe", true);
//     chooser.ResolveTypedName("play"); // "/folder/play.exe" when it exists, else "/folder/play"
#include <QFileDialog>

class QLineEdit;

class FileChooser : public QFileDialog {
    Q_OBJECT
public:
    FileChooser(QWidget* parent, const QString& title, const QString& defaultExtension,
                bool mustExist);

    // The existing file a typed name stands for in a chooser whose file must exist; empty when
    // there is none.
    QString ResolveTypedName(const QString& typed) const;
    // The chooser's file name field.
    QLineEdit* FileNameEdit() const;

public slots:
    void accept() override;

private:
    // The name with the default extension when its file name has none; empty otherwise.
    QString WithDefaultExtension(const QString& name) const;
    void UpdateOpenButton();

    QString m_DefaultExtension;
    bool m_MustExist;
};
