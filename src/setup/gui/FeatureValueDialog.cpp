// The value dialogs' widgets.
#include "setup/gui/FeatureValueDialog.h"

#include "chipdef/ChipDefBase.h"
#include "setup/core/SetupServices.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/LineBreakFilter.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

FeatureValueDialog::FeatureValueDialog(QWidget* parent, UIFeatures& model, TreeHandle node,
                                       int dialogId)
    : QDialog(parent), m_Value(model, node), m_DialogId(dialogId) {
    setObjectName(QString::number(dialogId));
    setWindowTitle(Q(m_Value.Title()));
    auto* layout = new QVBoxLayout(this);
    m_Currently = new QLabel(this);
    m_Currently->setObjectName("2506");
    layout->addWidget(m_Currently);
    m_Editors << m_Currently;
    if (dialogId == kDialogNumber || dialogId == kDialogAddress) {
        auto* row = new QHBoxLayout;
        m_NumberEdit = new QLineEdit(Q(m_Value.EditText()), this);
        m_NumberEdit->setObjectName("2503");
        row->addWidget(m_NumberEdit, 1);
        m_Editors << m_NumberEdit;
        connect(m_NumberEdit, &QLineEdit::editingFinished, this, [this] { CheckRange(); });
        if (dialogId == kDialogNumber) {
            auto* unit = new QLabel(Q(m_Value.Unit()), this);
            unit->setObjectName("2508");
            row->addWidget(unit);
            m_Editors << unit;
            const struct {
                const char* Text;
                int Id;
                uint32_t Radix;
            } radios[] = {{"&HEX", 2510, 16}, {"&DEC", 2509, 10}, {"&BIN", 2511, 2}};
            for (const auto& radio : radios) {
                auto* button = new QRadioButton(radio.Text, this);
                button->setObjectName(QString::number(radio.Id));
                button->setChecked(m_Value.Radix() == radio.Radix);
                const uint32_t radix = radio.Radix;
                connect(button, &QRadioButton::clicked, this, [this, radix] {
                    SetRadix(radix);
                    m_NumberEdit->setFocus();
                    m_NumberEdit->selectAll();
                });
                row->addWidget(button);
                m_Editors << button;
            }
        }
        layout->addLayout(row);
        if (dialogId == kDialogAddress) {
            layout->addWidget(new QLabel("Current memory map:", this));
            m_List = new QListWidget(this);
            m_List->setObjectName("2505");
            m_List->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
            ChipDefBase& chip = model.GetChipDef();
            const uint32_t kind = chip.GetFeatureOffsetKind(m_Value.Feature());
            char name[256];
            uint32_t address = 0;
            uint32_t size = 0;
            for (uint32_t i = 0; chip.GetMemoryRegion(kind, i, name, &address, &size); ++i) {
                char row[320];
                if (size != 0) {
                    std::snprintf(row, sizeof row, "%08Xh-%08Xh %s", address, size, name);
                } else {
                    std::snprintf(row, sizeof row, "%08Xh           %s", address, name);
                }
                auto* item = new QListWidgetItem(row, m_List);
                item->setData(Qt::UserRole, address);
            }
            connect(m_List, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
                if (item != nullptr) {
                    m_NumberEdit->setText(
                        QString("%1")
                            .arg(item->data(Qt::UserRole).toUInt(), 8, 16, QChar('0'))
                            .toUpper());
                }
            });
            layout->addWidget(m_List, 1);
            m_Editors << m_List;
        }
    } else if (dialogId == kDialogText) {
        m_TextEdit = new QLineEdit(this);
        m_TextEdit->setObjectName("2504");
        RefuseLineBreaks(m_TextEdit);
        m_TextEdit->setText(Q(m_Value.EditText()));
        layout->addWidget(m_TextEdit);
        m_Editors << m_TextEdit;
    } else {
        m_List = new QListWidget(this);
        m_List->setObjectName("2505");
        for (const std::string& row : m_Value.ListRows()) {
            m_List->addItem(Q(row));
        }
        m_List->setCurrentRow(m_Value.CurrentRow());
        connect(m_List, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
        layout->addWidget(m_List, 1);
        m_Editors << m_List;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_OverrideButton = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    m_OverrideButton->setObjectName("2515");
    m_OverrideButton->setVisible(m_Value.HasOverride());
    connect(m_OverrideButton, &QPushButton::clicked, this, [this] {
        m_Value.ToggleOverride();
        UpdateOverride();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    UpdateOverride();
    ShowCurrently();
    resize(420, m_List != nullptr ? 300 : 120);
}

void FeatureValueDialog::ShowCurrently() {
    m_Currently->setText(Q(m_Value.CurrentlyText()));
    QPalette palette = m_Currently->palette();
    palette.setColor(QPalette::WindowText, m_Value.IsWarning() ? Qt::red : Qt::black);
    m_Currently->setPalette(palette);
}

void FeatureValueDialog::SetRadix(uint32_t radix) {
    m_NumberEdit->setText(Q(m_Value.ChangeRadix(m_NumberEdit->text().toStdString(), radix)));
    ShowCurrently();
}

void FeatureValueDialog::CheckRange() {
    m_Value.CheckValueRange(m_NumberEdit->text().toStdString());
    ShowCurrently();
}

void FeatureValueDialog::UpdateOverride() {
    if (!m_Value.HasOverride()) {
        return;
    }
    m_OverrideButton->setText(Q(m_Value.OverrideLabel()));
    for (QWidget* editor : m_Editors) {
        editor->setEnabled(!m_Value.IsOverrideOn());
    }
}

void FeatureValueDialog::accept() {
    if (m_NumberEdit != nullptr) {
        if (!m_Value.AcceptNumber(m_NumberEdit->text().toStdString())) {
            ShowCurrently();
            Beep(BeepKind::Default);
            return;
        }
    } else if (m_TextEdit != nullptr) {
        m_Value.AcceptText(m_TextEdit->text().toStdString());
    } else {
        m_Value.AcceptListRow(m_List->currentRow());
    }
    QDialog::accept();
}
