#pragma once
// The Configure Multiple dialog over the core's ConfigureMultiple: the browser of the current
// folder, the selected files, the buttons that move entries between them, and Configure, which
// saves every selected file and shows the summary. Files dropped on it are added.
//
//     ConfigureMultipleDialog dialog(this, {"/tmp/play"});
//     RunDialog(dialog);
#include "setup/core/ConfigureMultiple.h"

#include <QDialog>

class QListWidget;
class QLabel;
class QCheckBox;
class QRadioButton;
class QPushButton;

class ConfigureMultipleDialog : public QDialog {
    Q_OBJECT
public:
    ConfigureMultipleDialog(QWidget* parent, const std::vector<std::string>& initial);
    const ConfigureMultiple& Model() const { return m_Model; }
    // Configure (2209): saves the selected files and shows the summary.
    void Configure();
    QListWidget* Browser() const { return m_Browser; }
    QListWidget* SelectedList() const { return m_Selected; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ShowLists();
    void AddCurrent(bool doubleClick);
    void SetControlsEnabled(bool enabled);

    ConfigureMultiple m_Model;
    QListWidget* m_Browser;
    QListWidget* m_Selected;
    QLabel* m_Folder;
    QRadioButton* m_ShowAll;
    QRadioButton* m_SetupOnly;
    QCheckBox* m_Preserve;
    QList<QWidget*> m_Controls;
};
