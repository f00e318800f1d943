// The Export dialog and File > Export.
#include "setup/gui/ExportDialog.h"

#include "setup/core/ExportCommand.h"
#include "setup/core/ExportFormats.h"
#include "setup/gui/DialogRunner.h"
#include "setup/gui/ExportOptionsDialog.h"
#include "setup/gui/TabColumnDelegate.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kIdList = 2303;
constexpr int kIdCrLf = 2304;
constexpr int kNameGap = 24;

QPushButton* AddButton(QWidget* parent, QVBoxLayout* layout, int id, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    layout->addWidget(button);
    return button;
}

} // namespace

ExportDialog::ExportDialog(QWidget* parent)
    : QDialog(parent), m_List(new QListWidget(this)),
      m_CrLf(new QCheckBox("Use CR LF line termination for text files", this)) {
    setObjectName("212");
    setWindowTitle("Export");
    m_List->setObjectName(QString::number(kIdList));
    for (uint32_t row = 0; row < kExportFormatCount; ++row) {
        m_List->addItem(QString::fromStdString(GetExportRowText(row)));
    }
    auto* delegate = new TabColumnDelegate(m_List);
    delegate->SetColumn(TabColumnDelegate::WidestText(*m_List) + kNameGap);
    m_List->setItemDelegate(delegate);
    m_List->setCurrentRow(0);
    m_List->setMinimumWidth(m_List->sizeHintForColumn(0) + 2 * m_List->frameWidth() + 4);
    m_List->setMinimumHeight(m_List->sizeHintForRow(0) * static_cast<int>(kExportFormatCount) +
                             2 * m_List->frameWidth() + 4);
    connect(m_List, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    m_CrLf->setObjectName(QString::number(kIdCrLf));
    m_CrLf->setChecked(g_ExportCrLf);
    connect(m_CrLf, &QCheckBox::toggled, this, [](bool on) { g_ExportCrLf = on; });

    auto* buttons = new QVBoxLayout;
    QPushButton* exportAs = AddButton(this, buttons, 1, "&Export As...");
    exportAs->setDefault(true);
    connect(exportAs, &QPushButton::clicked, this, &QDialog::accept);
    connect(AddButton(this, buttons, 2, "&Close"), &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(m_List, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_CrLf);
}

uint32_t ExportDialog::SelectedRow() const {
    const int row = m_List->currentRow();
    return row >= 0 && row < static_cast<int>(kExportFormatCount) ? static_cast<uint32_t>(row) : 0;
}

void ShowExport(QWidget* owner) {
    uint32_t row = 0;
    {
        ExportDialog dialog(owner);
        if (RunDialog(dialog) != QDialog::Accepted) {
            return;
        }
        row = dialog.SelectedRow();
    }
    ExportAs(row, [owner](int dialogId) {
        // Over the Save dialog while it is open.
        QWidget* modal = QApplication::activeModalWidget();
        RunExportOptionsDialog(modal != nullptr ? modal : owner, dialogId);
    });
}
