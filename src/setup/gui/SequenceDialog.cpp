// The sequence dialog's widgets.
#include "setup/gui/SequenceDialog.h"

#include "hcl/HclData.h"
#include "setup/core/SetupServices.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/ElidedLabel.h"
#include "setup/gui/LineBreakFilter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr uint32_t kTypeFlags[] = {oxHCL_LCD_COMMAND, oxHCL_LCD_PARAM, oxHCL_LCD_DELAY};

int TypeRow(uint32_t flags) {
    for (int i = 0; i < 3; ++i) {
        if (kTypeFlags[i] == flags) {
            return i;
        }
    }
    return 0;
}

} // namespace

SequenceDialog::SequenceDialog(QWidget* parent, UIFeatures& model, TreeHandle node)
    : QDialog(parent), m_Feature(model, node),
      m_Edit(model.GetChipDef(), model.GetChipDefFeature(node)) {
    setObjectName(QString::number(kDialogSequence));
    setWindowTitle(QString::fromStdString(m_Feature.Title()));
    auto* layout = new QVBoxLayout(this);
    // A long sequence's line is cut to the dialog's width, so that the list keeps its rows.
    auto* currently = new ElidedLabel(QString::fromStdString(m_Feature.CurrentlyText()), this);
    currently->setObjectName("2506");
    layout->addWidget(currently);
    m_List = new QListWidget(this);
    m_List->setObjectName("2505");
    layout->addWidget(m_List, 1);
    auto* details = new QFormLayout;
    m_Type = new QComboBox(this);
    m_Type->setObjectName("2513");
    m_Type->addItems({"COMMAND", "PARAM", "DELAY"});
    m_Value = new QLineEdit(this);
    m_Value->setObjectName("2512");
    m_Label = new QLineEdit(this);
    m_Label->setObjectName("2514");
    m_Label->setMaxLength(static_cast<int>(kSequenceLabelMax));
    RefuseLineBreaks(m_Label);
    details->addRow("Type:", m_Type);
    details->addRow("Value:", m_Value);
    details->addRow("Label:", m_Label);
    layout->addLayout(details);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    const struct {
        const char* Text;
        int Id;
        bool (SequenceEdit::*Action)();
    } actions[] = {{"&Insert", 3, &SequenceEdit::Insert},
                   {"&Append", 4, &SequenceEdit::Append},
                   {"&Delete", 5, &SequenceEdit::Delete},
                   {"D&elete All", 6, &SequenceEdit::DeleteAll}};
    for (const auto& action : actions) {
        QPushButton* button = buttons->addButton(action.Text, QDialogButtonBox::ActionRole);
        button->setObjectName(QString::number(action.Id));
        m_ActionButtons << button;
        const auto call = action.Action;
        const bool focusType = action.Id == 3 || action.Id == 4;
        connect(button, &QPushButton::clicked, this, [this, call, focusType] {
            // By its Alt key the button is pressed while an edit still has the focus.
            TakeTypedText();
            if (!(m_Edit.*call)()) {
                Beep(BeepKind::Default);
                return;
            }
            ShowEntries();
            if (focusType) {
                m_Type->setFocus();
            }
        });
    }
    m_OverrideButton = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    m_OverrideButton->setObjectName("2515");
    m_OverrideButton->setVisible(m_Feature.HasOverride());
    connect(m_OverrideButton, &QPushButton::clicked, this, [this] {
        m_Feature.ToggleOverride();
        UpdateOverride();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(m_List, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_Showing) {
            m_Edit.Select(row);
            ShowEntries();
        }
    });
    connect(m_Type, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (!m_Showing && row >= 0 && m_Edit.SetFlags(kTypeFlags[row])) {
            ShowEntries();
        }
    });
    connect(m_Value, &QLineEdit::editingFinished, this, [this] { ReadValue(); });
    connect(m_Label, &QLineEdit::editingFinished, this, [this] {
        m_Edit.SetLabel(m_Label->text().toStdString());
        ShowEntries();
    });
    ShowEntries();
    UpdateOverride();
    resize(460, 420);
}

void SequenceDialog::UpdateOverride() {
    if (!m_Feature.HasOverride()) {
        return;
    }
    m_OverrideButton->setText(QString::fromStdString(m_Feature.OverrideLabel()));
    const bool editable = !m_Feature.IsOverrideOn();
    m_List->setEnabled(editable);
    for (QWidget* button : m_ActionButtons) {
        button->setEnabled(editable);
    }
    ShowEntries();
}

void SequenceDialog::TakeValueText() {
    if (!m_Edit.SetValueText(m_Value->text().trimmed().toStdString())) {
        Beep(BeepKind::Default);
    }
}

void SequenceDialog::ReadValue() {
    TakeValueText();
    ShowEntries();
}

void SequenceDialog::ShowEntries() {
    m_Showing = true;
    m_List->clear();
    for (const std::string& row : m_Edit.Rows()) {
        m_List->addItem(QString::fromStdString(row));
    }
    const int position = m_Edit.Position();
    m_List->setCurrentRow(position);
    const bool any = position >= 0;
    const SequenceEntry* entry = any ? &m_Edit.Entries()[static_cast<size_t>(position)] : nullptr;
    m_Type->setCurrentIndex(entry != nullptr ? TypeRow(entry->Flags) : 0);
    m_Value->setText(QString::fromStdString(m_Edit.ValueText()));
    m_Label->setText(entry != nullptr ? QString::fromStdString(entry->Label) : QString());
    for (QWidget* widget : {static_cast<QWidget*>(m_Type), static_cast<QWidget*>(m_Value),
                            static_cast<QWidget*>(m_Label)}) {
        widget->setEnabled(any && !m_Feature.IsOverrideOn());
    }
    m_Showing = false;
}

void SequenceDialog::TakeTypedText() {
    const bool label = m_Label->isModified();
    const bool value = m_Value->isModified();
    // Both before the entries are shown again, which rewrites both edits.
    if (label) {
        m_Edit.SetLabel(m_Label->text().toStdString());
    }
    if (value) {
        TakeValueText();
    }
    if (label || value) {
        ShowEntries();
    }
}

void SequenceDialog::accept() {
    m_Feature.WriteOverride();
    TakeTypedText();
    const std::vector<std::string> refused = m_Edit.Accept();
    if (!refused.empty()) {
        std::string text = "These labels could not be stored; their entries were stored without "
                           "them:";
        for (const std::string& label : refused) {
            text += "\n" + label;
        }
        ShowMessage(MessageKind::Warning, text);
    }
    QDialog::accept();
}
