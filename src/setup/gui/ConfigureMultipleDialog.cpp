// The Configure Multiple dialog.
#include "setup/gui/ConfigureMultipleDialog.h"

#include "setup/core/SetupServices.h"

#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPushButton* Button(QWidget* parent, const char* id, const char* text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(id);
    return button;
}

QListWidget* List(QWidget* parent, const char* id) {
    auto* list = new QListWidget(parent);
    list->setObjectName(id);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

} // namespace

ConfigureMultipleDialog::ConfigureMultipleDialog(QWidget* parent,
                                                 const std::vector<std::string>& initial)
    : QDialog(parent), m_Model(QDir::currentPath().toStdString(), initial),
      m_Browser(List(this, "2201")), m_Selected(List(this, "2202")), m_Folder(new QLabel(this)),
      m_ShowAll(new QRadioButton("Show all files", this)),
      m_SetupOnly(new QRadioButton("Setup files only", this)),
      m_Preserve(new QCheckBox("&Preserve physical addresses", this)) {
    setObjectName("209");
    setWindowTitle("Configure Multiple");
    setAcceptDrops(true);
    m_Folder->setObjectName("2210");
    m_ShowAll->setObjectName("2207");
    m_SetupOnly->setObjectName("2208");
    m_Preserve->setObjectName("2211");
    m_SetupOnly->setChecked(true);

    QPushButton* add = Button(this, "2203", "&Add >");
    QPushButton* addAll = Button(this, "2204", "A&dd All >>");
    QPushButton* remove = Button(this, "2205", "< &Remove");
    QPushButton* removeAll = Button(this, "2206", "<< R&emove All");
    QPushButton* configure = Button(this, "2209", "&Configure");
    QPushButton* close = Button(this, "2", "C&lose");

    auto* browserLabel = new QLabel("Select &files to configure:", this);
    browserLabel->setBuddy(m_Browser);
    auto* selectedLabel = new QLabel("Selec&ted files:", this);
    selectedLabel->setBuddy(m_Selected);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {add, addAll, remove, removeAll}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(browserLabel, 0, 0);
    grid->addWidget(selectedLabel, 0, 2);
    grid->addWidget(m_Browser, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(m_Selected, 1, 2);
    grid->addWidget(m_ShowAll, 2, 0);
    grid->addWidget(m_Preserve, 2, 2);
    grid->addWidget(m_SetupOnly, 3, 0);
    grid->addWidget(m_Folder, 4, 0, 1, 3);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(configure);
    bottom->addWidget(close);
    grid->addLayout(bottom, 5, 0, 1, 3);
    resize(640, 420);

    m_Controls = {close,      add,       addAll,      remove,    removeAll, m_Browser,
                  m_Selected, m_ShowAll, m_SetupOnly, configure, m_Preserve};

    connect(add, &QPushButton::clicked, this, [this] { AddCurrent(false); });
    connect(m_Browser, &QListWidget::itemDoubleClicked, this, [this] { AddCurrent(true); });
    connect(addAll, &QPushButton::clicked, this, [this] {
        m_Model.AddAll();
        ShowLists();
    });
    auto removeCurrent = [this] {
        if (m_Selected->currentItem() != nullptr) {
            m_Model.Remove(m_Selected->currentItem()->text().toStdString());
            ShowLists();
        }
    };
    connect(remove, &QPushButton::clicked, this, removeCurrent);
    connect(m_Selected, &QListWidget::itemDoubleClicked, this, removeCurrent);
    connect(removeAll, &QPushButton::clicked, this, [this] {
        m_Model.RemoveAll();
        ShowLists();
    });
    connect(m_ShowAll, &QRadioButton::toggled, this, [this](bool on) {
        m_Model.SetShowAllFiles(on);
        ShowLists();
    });
    connect(configure, &QPushButton::clicked, this, &ConfigureMultipleDialog::Configure);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    ShowLists();
}

void ConfigureMultipleDialog::ShowLists() {
    const auto fill = [](QListWidget* list, const std::vector<std::string>& items) {
        list->clear();
        for (const std::string& item : items) {
            list->addItem(QString::fromStdString(item));
        }
    };
    fill(m_Browser, m_Model.Browser());
    fill(m_Selected, m_Model.Selected());
    m_Folder->setText(QString::fromStdString(m_Model.Folder()));
}

void ConfigureMultipleDialog::AddCurrent(bool doubleClick) {
    if (m_Browser->currentItem() != nullptr &&
        m_Model.AddEntry(m_Browser->currentItem()->text().toStdString(), doubleClick)) {
        ShowLists();
    }
}

void ConfigureMultipleDialog::SetControlsEnabled(bool enabled) {
    for (QWidget* control : m_Controls) {
        control->setEnabled(enabled);
    }
}

void ConfigureMultipleDialog::Configure() {
    std::string summary;
    if (m_Model.Selected().empty()) {
        ShowMessage(MessageKind::Warning, kTextNoFilesSelected);
        return;
    }
    SetControlsEnabled(false);
    m_Model.Configure(m_Preserve->isChecked(), summary);
    ShowMessage(MessageKind::Information, summary);
    SetControlsEnabled(true);
    accept();
}

void ConfigureMultipleDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void ConfigureMultipleDialog::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            m_Model.AddPath(url.toLocalFile().toStdString());
        }
    }
    event->acceptProposedAction();
    ShowLists();
}
