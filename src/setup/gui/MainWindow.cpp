// The main window: menu, tabs, status box, drops and the File commands.
#include "setup/gui/MainWindow.h"

#include "setup/core/FileMenu.h"
#include "setup/core/ImportCommand.h"
#include "setup/core/MenuState.h"
#include "setup/core/SaveAndRun.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/ShellTexts.h"
#include "setup/gui/AboutDialog.h"
#include "setup/gui/CommandLineDialog.h"
#include "setup/gui/ConfigureMultipleDialog.h"
#include "setup/gui/DebugWindow.h"
#include "setup/gui/DialogRunner.h"
#include "setup/gui/ExportDialog.h"
#include "setup/gui/FeaturesPage.h"
#include "setup/gui/MenuIds.h"
#include "setup/gui/RegistersTab.h"
#include "setup/gui/ToolTipStyle.h"
#include "setup/gui/ToolTipText.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHelpEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

struct TabRow {
    const char* Caption;
    const char* ToolTip;
};

const TabRow kTabs[] = {
    {"Features", "Browse and change chip settings via a feature list."},
    {"Registers",
     "Configure chip registers.\n__________________________________________________\n"
     "**IMPORTANT NOTE: Experts only! Use extreme caution when editing these registers. Also, "
     "manually entered values may be overridden if you manipulate options on another tab page."},
};

const char* const kDelayTexts[] = {"100 ms",   "250 ms",    "500 ms",
                                   "1 second", "2 seconds", "5 seconds"};

// Dialog 101's size: 450 x 400 dialog units of its 8-point font.
constexpr QSize kDialogSize(675, 650);
// What a window manager's frame may take around the window: borders and a title bar.
constexpr QSize kFrameRoom(16, 48);

// The dialog's size, within the screen's available area with room for the frame, so that the
// Diagnostics box is on a small screen too.
QSize FittedSize(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return kDialogSize;
    }
    return kDialogSize.boundedTo(screen->availableGeometry().size() - kFrameRoom)
        .expandedTo(window.minimumSizeHint());
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), m_Status(ChipDefDiagnostics) {
    setObjectName("ORVEXSETUP");
    setAcceptDrops(true);
    BuildPages();
    BuildMenu();
    resize(FittedSize(*this));
    SetDebugMainWindow(this);
    UpdateMainTitle();
    SetStatusText(kStatusOwnerShell, kStatusForce, "");
    UpdateMenuState();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_Tabs = new QTabWidget(central);
    m_Tabs->setObjectName(QString::number(kIdTabs));
    const auto toStatusBox = [this](std::uint32_t id, std::uint32_t flags, const QString& text) {
        SetStatusText(id, flags, text.toStdString());
    };
    auto* features = new FeaturesPage(m_Tabs);
    connect(features, &FeaturesPage::StatusText, this, toStatusBox);
    auto* registers = new RegistersTab(m_Tabs);
    connect(registers, &RegistersTab::StatusText, this, toStatusBox);
    for (const TabRow& row : kTabs) {
        QWidget* page =
            &row == &kTabs[0] ? static_cast<QWidget*>(features) : static_cast<QWidget*>(registers);
        const int index = m_Tabs->addTab(page, row.Caption);
        m_Tabs->setTabToolTip(index, row.ToolTip);
    }
    m_Tabs->tabBar()->installEventFilter(this);
    auto* group = new QGroupBox("Diagnostics", central);
    group->setObjectName(QString::number(kIdDiagnostics));
    auto* groupLayout = new QVBoxLayout(group);
    m_StatusBox = new QPlainTextEdit(group);
    m_StatusBox->setObjectName(QString::number(kIdStatusBox));
    m_StatusBox->setReadOnly(true);
    m_StatusBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_StatusBox->viewport()->installEventFilter(this);
    m_StatusBox->installEventFilter(this);
    groupLayout->addWidget(m_StatusBox);
    layout->addWidget(m_Tabs, 300);
    layout->addWidget(group, 81);
    setCentralWidget(central);
}

QAction* MainWindow::AddAction(QMenu* menu, int id, const QString& text) {
    QAction* action = menu != nullptr ? menu->addAction(text) : menuBar()->addAction(text);
    action->setObjectName(QString::number(id));
    m_Actions.insert(id, action);
    return action;
}

void MainWindow::BuildMenu() {
    m_FileMenu = menuBar()->addMenu("&File");
    connect(AddAction(m_FileMenu, kIdOpen, "&Open..."), &QAction::triggered, this,
            &MainWindow::OnOpen);
    connect(AddAction(m_FileMenu, kIdSave, "&Save"), &QAction::triggered, this,
            &MainWindow::OnSave);
    connect(AddAction(m_FileMenu, kIdSaveAs, "Save &As..."), &QAction::triggered, this,
            &MainWindow::OnSaveAs);
    m_FileMenu->addSeparator();
    connect(AddAction(m_FileMenu, kIdConfigureMultiple, "Configure &Multiple..."),
            &QAction::triggered, this, [this] { ConfigureFiles({}); });
    m_FileMenu->addSeparator();
    connect(AddAction(m_FileMenu, kIdExport, "&Export..."), &QAction::triggered, this,
            [this] { ShowExport(this); });
    connect(AddAction(m_FileMenu, kIdImport, "&Import..."), &QAction::triggered, this, [this] {
        if (OnImport()) {
            RefreshAfterOpen();
        }
    });
    m_FileMenu->addSeparator();
    connect(AddAction(m_FileMenu, kIdSaveAndRun, "Save and &Run"), &QAction::triggered, this,
            &MainWindow::OnSaveAndRun);
    connect(AddAction(m_FileMenu, kIdCommandLine, "&Command Line..."), &QAction::triggered, this,
            &MainWindow::OnCommandLine);
    m_FileMenu->addSeparator();
    connect(AddAction(m_FileMenu, kIdExit, "E&xit"), &QAction::triggered, this, &QWidget::close);

    m_HelpMenu = menuBar()->addMenu("&Help");
    QAction* debugging = AddAction(m_HelpMenu, kIdDebugging, "Enable De&bugging");
    debugging->setCheckable(true);
    connect(debugging, &QAction::triggered, this, [this](bool on) {
        g_DebuggingEnabled = on;
        UpdateMainTitle();
    });
    QAction* toolTips = AddAction(m_HelpMenu, kIdToolTips, "Enable &ToolTips");
    toolTips->setCheckable(true);
    connect(toolTips, &QAction::triggered, this, [](bool on) { g_ToolTipsEnabled = on; });
    QAction* lock = AddAction(m_HelpMenu, kIdLockToolTips, "Lock Tooltip &Position");
    lock->setCheckable(true);
    connect(lock, &QAction::triggered, this, [](bool on) { g_ToolTipPositionLocked = on; });
    QMenu* delays = m_HelpMenu->addMenu("ToolTip &Delay");
    auto* delayGroup = new QActionGroup(this);
    for (std::uint32_t i = 0; i < std::size(kDelayTexts); ++i) {
        QAction* item = AddAction(delays, kIdFirstDelay + static_cast<int>(i), kDelayTexts[i]);
        item->setCheckable(true);
        delayGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { OnToolTipDelay(i); });
    }
    m_HelpMenu->addSeparator();
    connect(AddAction(m_HelpMenu, kIdAbout, QString::fromStdString(AboutItemText())),
            &QAction::triggered, this, [this] { ShowAbout(this); });

    connect(AddAction(nullptr, kIdSaveRunNow, "Save/&Run!"), &QAction::triggered, this,
            &MainWindow::OnSaveAndRun);
    connect(m_FileMenu, &QMenu::aboutToShow, this, &MainWindow::UpdateMenuState);
    connect(m_HelpMenu, &QMenu::aboutToShow, this, &MainWindow::UpdateMenuState);
}

void MainWindow::UpdateMenuState() {
    const MenuState state = CurrentMenuState(true);
    for (int id : {kIdSave, kIdSaveAs, kIdSaveAndRun}) {
        Action(id)->setEnabled(state.SaveEnabled);
    }
    Action(kIdSaveRunNow)->setEnabled(state.RunNowEnabled);
    Action(kIdToolTips)->setEnabled(state.ToolTipsEnabled);
    Action(kIdToolTips)->setChecked(state.ToolTipsChecked);
    Action(kIdLockToolTips)->setChecked(state.LockChecked);
    Action(kIdDebugging)->setChecked(state.DebuggingChecked);
    Action(kIdFirstDelay + static_cast<int>(state.DelayIndex))->setChecked(true);
    Action(kIdAbout)->setText(QString::fromStdString(AboutItemText()));
}

void MainWindow::UpdateMainTitle() {
    setWindowTitle(
        QString::fromStdString(SetDebugTitle(MainTitle(g_OpenPath, g_DebuggingEnabled))));
}

void MainWindow::SetStatusText(std::uint32_t id, std::uint32_t flags, const std::string& text) {
    const StatusBox::Update update = m_Status.SetStatusText(id, flags, text);
    if (update.Accepted && (flags & kStatusWarning) != 0) {
        Beep(BeepKind::Hand);
    }
    if (update.Changed) {
        m_StatusBox->setPlainText(QString::fromStdString(m_Status.Text()));
    }
    PaintStatusBox();
}

void MainWindow::PaintStatusBox() {
    QPalette palette = m_StatusBox->palette();
    if (m_Status.Warning()) {
        palette.setColor(QPalette::Base, QColor(255, 255, 0));
        palette.setColor(QPalette::Text, QColor(0, 0, 0xAF));
    } else {
        palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Button));
        palette.setColor(QPalette::Text, QApplication::palette().color(QPalette::Text));
    }
    m_StatusBox->setPalette(palette);
}

void MainWindow::RefreshAfterOpen() {
    // The current page is made anew; the other one is when its tab is chosen.
    if (auto* features = qobject_cast<FeaturesPage*>(m_Tabs->currentWidget());
        features != nullptr) {
        features->Reopen();
    }
    UpdateMainTitle();
    SetStatusText(kStatusOwnerShell, kStatusForce, "");
    if (auto* registers = qobject_cast<RegistersTab*>(m_Tabs->currentWidget());
        registers != nullptr) {
        registers->Reopen();
    }
    UpdateMenuState();
}

void MainWindow::OnOpen() {
    if (g_DebuggingEnabled) {
        QWidget* focus = QApplication::focusWidget();
        DebugPrintf("FileOpen: hwnd=%lX, IDC=%u\n",
                    static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(focus)),
                    focus != nullptr ? focus->objectName().toUInt() : 0u);
    }
    if (OnFileOpen()) {
        RefreshAfterOpen();
    }
}

void MainWindow::OnSave() {
    OnFileSave();
}

void MainWindow::OnSaveAs() {
    if (OnFileSaveAs()) {
        UpdateMainTitle();
    }
}

void MainWindow::OnSaveAndRun() {
    SaveAndRun();
}

void MainWindow::OnCommandLine() {
    CommandLineDialog dialog(this);
    if (RunDialog(dialog) == QDialog::Accepted) {
        dialog.Keep();
    }
}

void MainWindow::OnToolTipDelay(std::uint32_t index) {
    g_ToolTipDelayIndex = index;
    UpdateMenuState();
}

void MainWindow::ConfigureFiles(const std::vector<std::string>& files) {
    ConfigureMultipleDialog dialog(this, files);
    RunDialog(dialog);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            files.push_back(url.toLocalFile().toStdString());
        }
    }
    event->acceptProposedAction();
    ConfigureFiles(files);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    if (!g_ToolTipsEnabled) {
        QToolTip::hideText();
        return true;
    }
    QString text;
    QWidget* widget = nullptr;
    if (watched == m_Tabs->tabBar()) {
        const int tab = m_Tabs->tabBar()->tabAt(help->pos());
        text = tab >= 0 ? m_Tabs->tabToolTip(tab) : QString();
        widget = m_Tabs->tabBar();
    } else {
        // The status box shows its whole text as its tip.
        text = QString::fromStdString(m_Status.Text());
        widget = m_StatusBox;
    }
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        ShowSetupToolTip(help->globalPos(), text, widget);
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_Status.Hold(kStatusOwnerClosing);
    if (CurrentDebugWindow() != nullptr) {
        CurrentDebugWindow()->close();
    }
    event->accept();
}
