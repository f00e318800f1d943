#pragma once
// The value dialogs 203, 204, 206 and 217 over the core's FeatureValue: the "Currently" line
// (2506, red while the range warning shows), the override button (2515) and the controls of
// the feature's type: the number edit (2503) with its unit (2508) and radio buttons (2510 HEX,
// 2509 DEC, 2511 BIN), the memory map list (2505) of an address, the text edit (2504) or the
// value list (2505). The text edit refuses line breaks (LineBreakFilter).
#include "setup/core/FeatureValue.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class FeatureValueDialog : public QDialog {
    Q_OBJECT
public:
    FeatureValueDialog(QWidget* parent, UIFeatures& model, TreeHandle node, int dialogId);

    QLineEdit* NumberEdit() const { return m_NumberEdit; }
    QLineEdit* TextEdit() const { return m_TextEdit; }
    QListWidget* List() const { return m_List; }
    QLabel* Currently() const { return m_Currently; }

public slots:
    void accept() override;

private:
    void ShowCurrently();
    void SetRadix(uint32_t radix);
    void CheckRange();
    void UpdateOverride();

    FeatureValue m_Value;
    int m_DialogId;
    QLabel* m_Currently = nullptr;
    QLineEdit* m_NumberEdit = nullptr;
    QLineEdit* m_TextEdit = nullptr;
    QListWidget* m_List = nullptr;
    QPushButton* m_OverrideButton = nullptr;
    QList<QWidget*> m_Editors;
};
