// The Command Line dialog.
#include "setup/gui/CommandLineDialog.h"

#include "setup/core/SetupState.h"
#include "setup/gui/LineBreakFilter.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kMaxArguments = 4096;
}

CommandLineDialog::CommandLineDialog(QWidget* parent)
    : QDialog(parent), m_Label(new QLabel(this)), m_Edit(new QLineEdit(this)) {
    setObjectName("219");
    setWindowTitle("Command Line");
    m_Label->setObjectName("2701");
    m_Edit->setObjectName("2702");
    m_Label->setText(g_OpenPath.empty()
                         ? QString("Program &arguments")
                         : QString::fromStdString(g_OpenPath) + QString(" &arguments:"));
    m_Label->setBuddy(m_Edit);
    m_Edit->setMaxLength(kMaxArguments);
    RefuseLineBreaks(m_Edit);
    m_Edit->setText(QString::fromStdString(g_ProgramArguments));
    m_Edit->setMinimumWidth(360);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Label);
    layout->addWidget(m_Edit);
    layout->addWidget(buttons);
}

void CommandLineDialog::Keep() {
    g_ProgramArguments = m_Edit->text().left(kMaxArguments).toStdString();
}
