// The debug window's terminal handling.
#include "setup/core/DebugTerminal.h"

DebugTerminal::DebugTerminal(std::function<void()> bell) : m_Bell(std::move(bell)) {}

void DebugTerminal::Append(const std::string& text) {
    for (const char c : text) {
        if (c == '\n') {
            m_Done += m_Line;
            m_Done += '\n';
            m_Line.clear();
            m_Column = 0;
        } else if (c == '\r') {
            m_Column = 0;
        } else if (c == '\a') {
            if (m_Bell) {
                m_Bell();
            }
        } else {
            if (m_Column < m_Line.size()) {
                m_Line[m_Column] = c;
            } else {
                m_Line += c;
            }
            ++m_Column;
        }
    }
}

void DebugTerminal::Clear() {
    m_Done.clear();
    m_Line.clear();
    m_Column = 0;
}
