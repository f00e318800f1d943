#pragma once
// The debug output window's text box as a simple terminal: a line feed ends the current line,
// a carriage return moves back to its start so that what follows overwrites it, a bell beeps,
// and every other character is written at the cursor. Lines have no length limit. The window
// shows Text() after each append.
//
//     DebugTerminal terminal;
//     terminal.Append("50%\r75%\r100%\n");   // Text() == "100%\n"
#include <functional>
#include <string>

class DebugTerminal {
public:
    // bell is called for each BEL character (may be empty).
    explicit DebugTerminal(std::function<void()> bell = {});
    void Append(const std::string& text);
    // Finished lines followed by the current, unfinished line.
    std::string Text() const { return m_Done + m_Line; }
    void Clear();

private:
    std::function<void()> m_Bell;
    std::string m_Done;
    std::string m_Line;
    std::size_t m_Column = 0;
};
