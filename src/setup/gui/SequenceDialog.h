#pragma once
// The sequence dialog (215) over the core's SequenceEdit: the entries (2505), the selected
// entry's type (2513), value (2512) and label (2514), and the buttons Insert (3), Append (4),
// Delete (5) and Delete All (6). OK writes the entries; labels that could not be stored are
// named in a warning box.
#include "setup/core/FeatureValue.h"
#include "setup/core/SequenceEdit.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;

class SequenceDialog : public QDialog {
    Q_OBJECT
public:
    SequenceDialog(QWidget* parent, UIFeatures& model, TreeHandle node);

    SequenceEdit& Edit() { return m_Edit; }
    QListWidget* List() const { return m_List; }
    QLineEdit* ValueEdit() const { return m_Value; }
    QLineEdit* LabelEdit() const { return m_Label; }

public slots:
    void accept() override;

private:
    void ShowEntries();
    void ReadValue();

    FeatureValue m_Feature;
    SequenceEdit m_Edit;
    QListWidget* m_List = nullptr;
    QComboBox* m_Type = nullptr;
    QLineEdit* m_Value = nullptr;
    QLineEdit* m_Label = nullptr;
    bool m_Showing = false;
};
