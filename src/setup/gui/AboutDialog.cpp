// The About box.
#include "setup/gui/AboutDialog.h"

#include "setup/core/ShellTexts.h"
#include "setup/gui/AboutPictures.h"
#include "setup/gui/DialogRunner.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

constexpr int kIdVersion = 2001;
constexpr int kIdPicture = 2002;
constexpr int kTextWidth = 300;

const char kDescription[] =
    "This program is used to view and configure display information and to create header "
    "files of register values for compilation in other programs.";

// A label that lets mouse clicks through to the box.
QLabel* MakeLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("211");
    setWindowTitle(QString::fromStdString(AboutTitle()));
    m_PictureLabel = MakeLabel(this, QString());
    m_PictureLabel->setObjectName(QString::number(kIdPicture));
    m_PictureLabel->setPixmap(AboutPicture(m_Picture));

    QLabel* version = MakeLabel(this, QString::fromStdString(AboutVersionText()));
    version->setObjectName(QString::number(kIdVersion));
    QPalette palette = version->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0xAF));
    version->setPalette(palette);
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);

    QLabel* description = MakeLabel(this, kDescription);
    description->setWordWrap(true);
    description->setFixedWidth(kTextWidth);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(description);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_PictureLabel, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(texts);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QDialog::mouseDoubleClickEvent(event);
        return;
    }
    m_Picture = (m_Picture + 1) % kAboutPictureCount;
    m_PictureLabel->setPixmap(AboutPicture(m_Picture));
    event->accept();
}

void ShowAbout(QWidget* owner) {
    AboutDialog dialog(owner);
    RunDialog(dialog);
}
