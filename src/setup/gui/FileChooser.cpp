// The file chooser's handling of typed names.
#include "setup/gui/FileChooser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

FileChooser::FileChooser(QWidget* parent, const QString& title, const QString& defaultExtension,
                         bool mustExist)
    : QFileDialog(parent, title, QStringLiteral(".")), m_DefaultExtension(defaultExtension),
      m_MustExist(mustExist) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Qt adds its default suffix to every typed name without a dot: right for a file to be
    // written, wrong for one that must exist (an executable here has no extension).
    if (!mustExist) {
        setDefaultSuffix(defaultExtension);
    }
    if (QLineEdit* edit = FileNameEdit()) {
        // After the dialog's own update of the button, which knows only the name as typed.
        connect(edit, &QLineEdit::textChanged, this, &FileChooser::UpdateOpenButton);
    }
    connect(this, &QFileDialog::currentChanged, this, &FileChooser::UpdateOpenButton);
    connect(this, &QFileDialog::directoryEntered, this, &FileChooser::UpdateOpenButton);
}

QLineEdit* FileChooser::FileNameEdit() const {
    return findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

QString FileChooser::WithDefaultExtension(const QString& name) const {
    if (m_DefaultExtension.isEmpty() || QFileInfo(name).fileName().contains('.')) {
        return {};
    }
    return name + '.' + m_DefaultExtension;
}

QString FileChooser::ResolveTypedName(const QString& typed) const {
    if (typed.isEmpty()) {
        return {};
    }
    QString name = typed;
    if (name == QStringLiteral("~") || name.startsWith(QStringLiteral("~/"))) {
        name = QDir::homePath() + name.mid(1);
    }
    const QString path = QFileInfo(name).isAbsolute() ? name : directory().absoluteFilePath(name);
    if (const QString withExtension = WithDefaultExtension(path);
        !withExtension.isEmpty() && QFileInfo(withExtension).isFile()) {
        return QDir::cleanPath(withExtension);
    }
    return QFileInfo::exists(path) ? QDir::cleanPath(path) : QString();
}

void FileChooser::accept() {
    QLineEdit* edit = FileNameEdit();
    const QString typed = edit != nullptr ? edit->text() : QString();
    // Several quoted names, or none, are the dialog's own business.
    if (!m_MustExist || typed.isEmpty() || typed.contains('"')) {
        QFileDialog::accept();
        return;
    }
    const QString found = ResolveTypedName(typed);
    if (!found.isEmpty()) {
        edit->setText(found); // a folder is entered, a file chosen
        QFileDialog::accept();
        return;
    }
    // Neither exists: the dialog's own box names the name with the extension, and the dialog
    // stays open with the name as it was typed.
    if (const QString withExtension = WithDefaultExtension(typed); !withExtension.isEmpty()) {
        edit->setText(withExtension);
    }
    QFileDialog::accept();
    if (result() != QDialog::Accepted) {
        edit->setText(typed);
    }
}

void FileChooser::UpdateOpenButton() {
    if (!m_MustExist) {
        return;
    }
    const QLineEdit* edit = FileNameEdit();
    auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* open = buttons != nullptr ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (edit != nullptr && open != nullptr && !ResolveTypedName(edit->text()).isEmpty()) {
        open->setEnabled(true);
    }
}
