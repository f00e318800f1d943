#pragma once
// The sequence dialog (215) over the core's SequenceEdit: the entries (2505), the selected
// entry's type (2513), value (2512) and label (2514), and the buttons Insert (3), Append (4),
// Delete (5) and Delete All (6). An item with an override feature has the override button
// (2515): while it is on, the entries cannot be edited. The buttons and OK first take what is
// typed in Value and Label. OK writes the override, then the entries; labels that could not be
// stored are named in a warning box. The label edit refuses line breaks (LineBreakFilter).
#include "setup/core/FeatureValue.h"
#include "setup/core/SequenceEdit.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class SequenceDialog : public QDialog {
    Q_OBJECT
public:
    SequenceDialog(QWidget* parent, UIFeatures& model, TreeHandle node);

    SequenceEdit& Edit() { return m_Edit; }
    QListWidget* List() const { return m_List; }
    QLineEdit* ValueEdit() const { return m_Value; }
    QLineEdit* LabelEdit() const { return m_Label; }
    QPushButton* OverrideButton() const { return m_OverrideButton; }

public slots:
    void accept() override;

private:
    void ShowEntries();
    void ReadValue();
    // The Value edit's number into the entry (a beep when it does not fit).
    void TakeValueText();
    // What is typed in Value and Label and not yet taken, taken as leaving the edit takes it.
    void TakeTypedText();
    void UpdateOverride();

    FeatureValue m_Feature;
    SequenceEdit m_Edit;
    QListWidget* m_List = nullptr;
    QComboBox* m_Type = nullptr;
    QLineEdit* m_Value = nullptr;
    QLineEdit* m_Label = nullptr;
    QPushButton* m_OverrideButton = nullptr;
    QList<QWidget*> m_ActionButtons;
    bool m_Showing = false;
};
