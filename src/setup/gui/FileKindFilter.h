#pragma once
// The file dialog's filter by configurable kind: the dialog's own name filters let every file
// through the EXE rows (an executable here has no extension), and this proxy keeps the files
// that the chosen row's patterns match, ignoring case, with extensionless ELF executables
// counted as EXE files. Folders always pass.
//
//     auto* filter = new FileKindFilter(dialog);
//     dialog->setProxyModel(filter);
//     filter->SetPatterns({"*.EXE"});
#include <QSortFilterProxyModel>
#include <string>
#include <vector>

class FileKindFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FileKindFilter(QObject* parent);
    void SetPatterns(std::vector<std::string> patterns);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::vector<std::string> m_Patterns;
};
