#pragma once
// The debug output window: a second top-level window beside the main window, holding a
// read-only text box that behaves like a simple terminal. DebugPrintf sends a trace to it,
// creating the window when there is none; a closed window is forgotten, and the next trace
// opens a new one. Traces are queued and appear after the current event has been handled.
//
//     DebugPrintf("FileOpen: hwnd=%p, IDC=%u\n", focus, id);
#include "setup/core/DebugTerminal.h"

#include <QPlainTextEdit>
#include <QWidget>

class DebugWindow : public QWidget {
    Q_OBJECT
public:
    explicit DebugWindow(QWidget* mainWindow);
    void AppendText(const QString& text);
    QPlainTextEdit* TextBox() const { return m_TextBox; }
    // Sets the title from the product ("... Debug Output").
    void UpdateTitle();

private:
    QPlainTextEdit* m_TextBox;
    DebugTerminal m_Terminal;
};

// The main window the debug window is placed beside (set by the main window). From then on
// the traces of Setup's logic (DebugTrace) come to the debug window while debugging is on.
void SetDebugMainWindow(QWidget* mainWindow);
// The current debug window, nullptr when there is none.
DebugWindow* CurrentDebugWindow();
// Formats a trace and queues it for the debug window; the formatted length.
int DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Sets the debug window's title when there is one; hands its argument back.
template <typename T> T SetDebugTitle(T passThrough) {
    if (CurrentDebugWindow() != nullptr) {
        CurrentDebugWindow()->UpdateTitle();
    }
    return passThrough;
}
