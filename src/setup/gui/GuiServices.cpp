// Message boxes, file dialogs, launching and beeping through Qt.
#include "setup/gui/GuiServices.h"

#include "setup/core/ImportCommand.h"
#include "setup/core/ShellTexts.h"
#include "setup/gui/DialogRunner.h"
#include "setup/gui/FileChooser.h"
#include "setup/gui/FileKindFilter.h"
#include "setup/gui/ReportBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QProcess>
#include <QPushButton>
#include <QStringList>

namespace {

// "Label (*.a *.b)" as Qt's filter text. A row that offers EXE files lets every file through
// ("*"): an executable here has no extension, and FileKindFilter sorts the files out. "*.*"
// means every file, as it does in the system's filters, names without a dot included.
QString FilterText(const FileFilter& filter) {
    QStringList patterns;
    for (const std::string& pattern : filter.Patterns) {
        patterns << QString::fromStdString(pattern);
        if (QString::fromStdString(pattern).compare("*.exe", Qt::CaseInsensitive) == 0 ||
            pattern == "*.*") {
            patterns << QStringLiteral("*");
        }
    }
    return QString::fromStdString(filter.Label) + " (" + patterns.join(' ') + ")";
}

// The request's buttons in a row below the chooser's own controls, on the right; their object
// names are the control ids. A name that a button answers goes into the file name field.
void AddButtonRow(QFileDialog& dialog, const std::vector<FileRequestButton>& buttons) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (buttons.empty() || grid == nullptr) {
        return;
    }
    auto* row = new QWidget(&dialog);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addStretch();
    for (const FileRequestButton& wanted : buttons) {
        auto* button = new QPushButton(QString::fromStdString(wanted.Text), row);
        button->setObjectName(QString::number(wanted.Id));
        button->setAutoDefault(false);
        button->setHidden(!wanted.Shown);
        button->setEnabled(wanted.Shown);
        const auto pressed = wanted.Pressed;
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, pressed] {
            if (!pressed) {
                return;
            }
            if (const std::optional<std::string> name = pressed()) {
                dialog.selectFile(QString::fromStdString(*name));
            }
        });
        rowLayout->addWidget(button);
    }
    grid->addWidget(row, grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, MessageKind kind,
                                            const std::string& text) {
    auto box = std::make_unique<QMessageBox>(
        kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
        QString::fromStdString(GetProgramName()), QString::fromStdString(text), QMessageBox::Ok,
        owner);
    FitReportToScreen(*box, owner);
    return box;
}

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const FileRequest& request) {
    auto dialog = std::make_unique<FileChooser>(owner, QString::fromStdString(request.Title),
                                                QString::fromStdString(request.DefaultExtension),
                                                request.MustExist);
    dialog->setOption(QFileDialog::ReadOnly, false);
    dialog->setAcceptMode(request.Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
    QStringList filters;
    for (const FileFilter& filter : request.Filters) {
        filters << FilterText(filter);
    }
    // The labels are shown as the system gives them; the patterns work behind them.
    dialog->setOption(QFileDialog::HideNameFilterDetails, true);
    dialog->setNameFilters(filters);
    auto* kinds = new FileKindFilter(dialog.get());
    dialog->setProxyModel(kinds);
    const std::vector<FileFilter> rows = request.Filters;
    const auto choose = [kinds, rows, filters](const QString& chosen) {
        const auto row = filters.indexOf(chosen);
        kinds->SetPatterns(row >= 0 ? rows[static_cast<std::size_t>(row)].Patterns
                                    : std::vector<std::string>());
    };
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, kinds, choose);
    const int first =
        request.FilterIndex >= 0 && request.FilterIndex < filters.size() ? request.FilterIndex : 0;
    if (!filters.isEmpty()) {
        dialog->selectNameFilter(filters[first]);
        choose(filters[first]);
    }
    // Patterns ignore case, as the file kinds do.
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    if (!request.InitialPath.empty()) {
        dialog->selectFile(QString::fromStdString(request.InitialPath));
    }
    if (!request.AcceptText.empty()) {
        dialog->setLabelText(QFileDialog::Accept, QString::fromStdString(request.AcceptText));
    }
    if (!request.CheckBoxText.empty()) {
        // Below the chooser's own controls; its object name is the control id.
        auto* box = new QCheckBox(QString::fromStdString(request.CheckBoxText), dialog.get());
        box->setObjectName(QString::number(kIdOverwriteRegisters));
        box->setChecked(request.CheckBox != nullptr && *request.CheckBox);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    AddButtonRow(*dialog, request.Buttons);
    return dialog;
}

void InstallGuiServices(QWidget* owner) {
    SetupServices services;
    services.MessageBox = [owner](MessageKind kind, const std::string& text) {
        const auto box = MakeMessageBox(owner, kind, text);
        RunDialog(*box);
    };
    services.ChooseFile = [owner](const FileRequest& request) -> std::optional<std::string> {
        const auto dialog = MakeFileDialog(owner, request);
        if (RunDialog(*dialog) != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        if (request.CheckBox != nullptr) {
            const auto* box = dialog->findChild<QCheckBox*>(QString::number(kIdOverwriteRegisters));
            *request.CheckBox = box != nullptr && box->isChecked();
        }
        return dialog->selectedFiles().first().toStdString();
    };
    services.Launch = [](const std::vector<std::string>& argv) {
        if (argv.empty()) {
            return false;
        }
        QStringList arguments;
        for (std::size_t i = 1; i < argv.size(); ++i) {
            arguments << QString::fromStdString(argv[i]);
        }
        return QProcess::startDetached(QString::fromStdString(argv[0]), arguments);
    };
    services.Beep = [](BeepKind) { QApplication::beep(); };
    SetSetupServices(services);
}
