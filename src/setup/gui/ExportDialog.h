#pragma once
// The "Export" dialog (212): one row per export format with its default file name, the first
// one selected, and the CR LF choice for the written files. "&Export As..." or a double-click
// on a row ends it with the row chosen; "&Close" ends it without.
//
//     ShowExport(owner); // the dialog, then the Save dialog and the writing
#include <QDialog>
#include <cstdint>

class QCheckBox;
class QListWidget;

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportDialog(QWidget* parent);

    QListWidget* List() const { return m_List; }
    QCheckBox* CrLf() const { return m_CrLf; }
    // The chosen row (the first when none is selected).
    uint32_t SelectedRow() const;

private:
    QListWidget* m_List;
    QCheckBox* m_CrLf;
};

// File > Export: the Export dialog and, when a format was chosen, the Save dialog "Export As"
// with its buttons, then the export to the chosen file.
void ShowExport(QWidget* owner);
