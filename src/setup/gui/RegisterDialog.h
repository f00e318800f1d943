#pragma once
// The register dialog (210) for one row of the register list: the current value (2101) in the
// chosen radix, the edit for the new value (2103) and the radix buttons 2105 "&HEX",
// 2104 "&DEC" and 2106 "&BIN", which convert the edit's number. OK writes the number to the
// register list entry and marks the row; a text that is no number of the radix or a number
// wider than the register is refused with a message and the dialog stays open.
#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QRadioButton;

class RegisterDialog : public QDialog {
    Q_OBJECT
public:
    RegisterDialog(QWidget* parent, std::uint32_t row);

    QLineEdit* Edit() const { return m_Edit; }
    QLabel* Currently() const { return m_Currently; }
    // The button of radix 2, 10 or 16.
    QRadioButton* RadixButton(std::uint32_t radix) const;

public slots:
    void accept() override;

private:
    void ShowCurrently();
    void SetRadix(std::uint32_t radix);
    void CheckRadixButton();

    std::uint32_t m_Row;
    QLabel* m_Currently = nullptr;
    QLineEdit* m_Edit = nullptr;
    QRadioButton* m_Hex = nullptr;
    QRadioButton* m_Dec = nullptr;
    QRadioButton* m_Bin = nullptr;
};
