// The WinCE and generic export options dialogs.
#include "setup/gui/ExportOptionsDialog.h"

#include "setup/core/ExportCommand.h"
#include "setup/core/ExportFormats.h"
#include "setup/gui/DialogRunner.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kIdWinCeOptions = 214;
constexpr int kMaxModeNumber = 1000;

// The control ids of one dialog.
struct OptionIds {
    int NoCursor;
    int SoftwareCursor;
    int SoftwareAcceleration;
    int HardwareAcceleration;
};

constexpr OptionIds kWinCeIds = {2404, 2405, 2406, 2407};
constexpr OptionIds kGenericIds = {2901, 2902, 2903, 2904};
constexpr int kIdModeEdit = 2402;
constexpr int kIdModeSpin = 2403;

// Window managers draw the title in a bold font, beside an icon and three buttons about as
// wide as the title bar is high.
constexpr int kTitleBarItems = 5;

// A width that shows the whole title in the title bar.
int TitleWidth(const QWidget& window) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int items = kTitleBarItems * window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QFontMetrics(bold).horizontalAdvance(window.windowTitle()) + items;
}

} // namespace

ExportOptionsDialog::ExportOptionsDialog(QWidget* parent, int dialogId)
    : QDialog(parent), m_WinCe(dialogId == kIdWinCeOptions) {
    setObjectName(QString::number(m_WinCe ? kIdWinCeOptions : 221));
    setWindowTitle(m_WinCe ? "WinCE Export Options" : "Generic Export Options");
    const OptionIds& ids = m_WinCe ? kWinCeIds : kGenericIds;
    const uint32_t flags = m_WinCe ? g_ExportOptions.WinCeFlags : g_ExportOptions.GenericFlags;
    auto* layout = new QVBoxLayout(this);

    if (m_WinCe) {
        // A spin box holds its own edit: the edit carries the edit's id, the box the spin's.
        m_ModeNumber = new QSpinBox(this);
        m_ModeNumber->setObjectName(QString::number(kIdModeSpin));
        m_ModeNumber->setRange(0, kMaxModeNumber);
        m_ModeNumber->setValue(static_cast<int>(
            std::min<uint32_t>(g_ExportOptions.ModeNumber, static_cast<uint32_t>(kMaxModeNumber))));
        if (auto* edit = m_ModeNumber->findChild<QLineEdit*>()) {
            edit->setObjectName(QString::number(kIdModeEdit));
        }
        auto* form = new QFormLayout;
        form->addRow("&Mode Number:", m_ModeNumber);
        layout->addLayout(form);
    }

    auto* cursor = new QGroupBox("Cursor", this);
    auto* cursorLayout = new QVBoxLayout(cursor);
    m_NoCursor = new QRadioButton("No Cursor", cursor);
    m_NoCursor->setObjectName(QString::number(ids.NoCursor));
    m_SoftwareCursor = new QRadioButton("Software Cursor", cursor);
    m_SoftwareCursor->setObjectName(QString::number(ids.SoftwareCursor));
    const bool softwareCursor = (flags & kExportSoftwareCursor) != 0;
    m_SoftwareCursor->setChecked(softwareCursor);
    m_NoCursor->setChecked(!softwareCursor);
    cursorLayout->addWidget(m_NoCursor);
    cursorLayout->addWidget(m_SoftwareCursor);
    layout->addWidget(cursor);

    auto* acceleration = new QGroupBox("Acceleration", this);
    auto* accelerationLayout = new QVBoxLayout(acceleration);
    m_SoftwareAcceleration = new QCheckBox("&Software Acceleration", acceleration);
    m_SoftwareAcceleration->setObjectName(QString::number(ids.SoftwareAcceleration));
    m_SoftwareAcceleration->setChecked((flags & kExportSoftwareAcceleration) != 0);
    m_HardwareAcceleration = new QCheckBox("&Hardware Acceleration", acceleration);
    m_HardwareAcceleration->setObjectName(QString::number(ids.HardwareAcceleration));
    m_HardwareAcceleration->setChecked((flags & kExportHardwareAcceleration) != 0);
    accelerationLayout->addWidget(m_SoftwareAcceleration);
    accelerationLayout->addWidget(m_HardwareAcceleration);
    layout->addWidget(acceleration);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(TitleWidth(*this));
}

void ExportOptionsDialog::Keep() {
    uint32_t& flags = m_WinCe ? g_ExportOptions.WinCeFlags : g_ExportOptions.GenericFlags;
    flags =
        ExportFlagsWith(flags, m_SoftwareCursor->isChecked(), m_SoftwareAcceleration->isChecked(),
                        m_HardwareAcceleration->isChecked());
    if (m_ModeNumber != nullptr) {
        // The number as typed, held to the box's range.
        m_ModeNumber->interpretText();
        g_ExportOptions.ModeNumber = static_cast<uint32_t>(m_ModeNumber->value());
    }
}

void RunExportOptionsDialog(QWidget* owner, int dialogId) {
    ExportOptionsDialog dialog(owner, dialogId);
    if (RunDialog(dialog) == QDialog::Accepted) {
        dialog.Keep();
    }
}
