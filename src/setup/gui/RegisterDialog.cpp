// The register dialog's widgets over g_RegistersPage and the register list of g_ChipDef.
#include "setup/gui/RegisterDialog.h"

#include "setup/core/RegisterValueText.h"
#include "setup/core/RegistersPage.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr uint32_t kTitleFlags = ChipDefBase::kLocName | ChipDefBase::kLocPlace |
                                 ChipDefBase::kLocAccess | ChipDefBase::kLocShort;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

RegisterDialog::RegisterDialog(QWidget* parent, std::uint32_t row) : QDialog(parent), m_Row(row) {
    setObjectName("210");
    setWindowTitle(Q(g_ChipDef.GetRegisterLabel(row, true, kTitleFlags)));
    auto* layout = new QVBoxLayout(this);
    m_Currently = new QLabel(this);
    m_Currently->setObjectName("2101");
    layout->addWidget(m_Currently);
    auto* line = new QHBoxLayout;
    m_Edit = new QLineEdit(
        Q(RegisterValueText(g_ChipDef.GetRegisterValue(row, true), g_RegistersPage.DialogRadix)),
        this);
    m_Edit->setObjectName("2103");
    line->addWidget(m_Edit, 1);
    connect(m_Edit, &QLineEdit::editingFinished, this, [this] { ShowCurrently(); });
    const struct {
        const char* Text;
        int Id;
        std::uint32_t Radix;
        QRadioButton** Button;
    } radios[] = {
        {"&HEX", 2105, 16, &m_Hex}, {"&DEC", 2104, 10, &m_Dec}, {"&BIN", 2106, 2, &m_Bin}};
    for (const auto& radio : radios) {
        auto* button = new QRadioButton(radio.Text, this);
        button->setObjectName(QString::number(radio.Id));
        const std::uint32_t radix = radio.Radix;
        connect(button, &QRadioButton::clicked, this, [this, radix] {
            SetRadix(radix);
            m_Edit->setFocus();
            m_Edit->selectAll();
        });
        line->addWidget(button);
        *radio.Button = button;
    }
    layout->addLayout(line);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    CheckRadixButton();
    ShowCurrently();
    m_Edit->setFocus();
    m_Edit->selectAll();
    resize(420, 110);
}

QRadioButton* RegisterDialog::RadixButton(std::uint32_t radix) const {
    return radix == 2 ? m_Bin : radix == 10 ? m_Dec : m_Hex;
}

void RegisterDialog::CheckRadixButton() {
    RadixButton(g_RegistersPage.DialogRadix)->setChecked(true);
}

void RegisterDialog::ShowCurrently() {
    m_Currently->setText(
        "Currently  =  " +
        Q(RegisterValueText(g_ChipDef.GetRegisterValue(m_Row, true), g_RegistersPage.DialogRadix)));
}

void RegisterDialog::SetRadix(std::uint32_t radix) {
    const std::string text = m_Edit->text().toStdString();
    const std::optional<uint64_t> value = ReadRegisterValue(text, g_RegistersPage.DialogRadix);
    if (!value) {
        // The number cannot be carried over: the radix stays until the text is mended.
        CheckRadixButton();
        ShowMessage(MessageKind::Warning, NotANumberText(text, g_RegistersPage.DialogRadix));
        return;
    }
    g_RegistersPage.DialogRadix = radix;
    m_Edit->setText(Q(RegisterValueText(*value, radix)));
    ShowCurrently();
}

void RegisterDialog::accept() {
    const std::string text = m_Edit->text().toStdString();
    const std::optional<uint64_t> value = ReadRegisterValue(text, g_RegistersPage.DialogRadix);
    const std::string refusal = value ? g_RegistersPage.CheckValue(g_ChipDef, m_Row, *value)
                                      : NotANumberText(text, g_RegistersPage.DialogRadix);
    if (!refusal.empty()) {
        ShowMessage(MessageKind::Warning, refusal);
        m_Edit->setFocus();
        m_Edit->selectAll();
        return;
    }
    g_RegistersPage.ApplyValue(g_ChipDef, m_Row, static_cast<uint32_t>(*value));
    QDialog::accept();
}
