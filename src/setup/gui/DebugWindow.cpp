// The debug output window and the trace function.
#include "setup/gui/DebugWindow.h"

#include "setup/core/DebugTrace.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/ShellTexts.h"
#include "setup/core/TextFormat.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdarg>
#include <string>

namespace {

QPointer<DebugWindow> s_Window;
QPointer<QWidget> s_MainWindow;

// Directly right of the main window when the screen has room for it there, else directly left;
// then moved sideways just as far as it takes to be on the screen's available area, over the
// main window if need be. Its top and size are the main window's, its height clipped to the
// available area.
void PlaceBeside(QWidget& window, const QWidget& main) {
    const QRect frame = main.frameGeometry();
    const QSize decoration = frame.size() - main.size(); // the window frame, when there is one
    const QScreen* screen =
        main.screen() != nullptr ? main.screen() : QApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : frame;
    int left = available.right() - frame.right() >= frame.width() ? frame.right() + 1
                                                                  : frame.left() - frame.width();
    const int width = std::min(frame.width(), available.width());
    left = std::clamp(left, available.left(), available.right() + 1 - width);
    const int top = std::clamp(frame.top(), available.top(), available.bottom());
    const int height = std::min(frame.height(), available.bottom() + 1 - top);
    window.resize(width - decoration.width(), height - decoration.height());
    window.move(left, top);
}

} // namespace

DebugWindow::DebugWindow(QWidget* mainWindow)
    : QWidget(nullptr), m_TextBox(new QPlainTextEdit(this)),
      m_Terminal([] { Beep(BeepKind::Default); }) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName("OrvexDebug");
    m_TextBox->setReadOnly(true);
    m_TextBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_TextBox->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_TextBox->setTabStopDistance(m_TextBox->fontMetrics().horizontalAdvance(' ') * 8);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_TextBox);
    setFocusProxy(m_TextBox);
    if (mainWindow != nullptr) {
        PlaceBeside(*this, *mainWindow);
    }
    UpdateTitle();
}

void DebugWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(DebugTitle()));
}

void DebugWindow::AppendText(const QString& text) {
    QScrollBar* bar = m_TextBox->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    const int kept = bar->value();
    m_Terminal.Append(text.toStdString());
    m_TextBox->setPlainText(QString::fromStdString(m_Terminal.Text()));
    // A user who scrolled back keeps his view; otherwise the view follows the output.
    bar->setValue(following ? bar->maximum() : kept);
}

void SetDebugMainWindow(QWidget* mainWindow) {
    s_MainWindow = mainWindow;
    SetDebugTraceSink([](const std::string& text) {
        if (g_DebuggingEnabled) {
            DebugPrintf("%s", text.c_str());
        }
    });
}

DebugWindow* CurrentDebugWindow() {
    return s_Window.data();
}

int DebugPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatTextV(format, args);
    va_end(args);
    if (s_Window.isNull()) {
        s_Window = new DebugWindow(s_MainWindow.data());
        s_Window->show();
    }
    QPointer<DebugWindow> window = s_Window;
    const QString queued = QString::fromStdString(text);
    QTimer::singleShot(0, window.data(), [window, queued] {
        if (!window.isNull()) {
            window->AppendText(queued);
        }
    });
    return static_cast<int>(text.size());
}
