#pragma once
// A small terminal screen for tests: interprets what a program writes (characters, backspace,
// CR, LF as CR LF, bell, and the ANSI escapes ESC 7 / ESC 8, CSI n A/B/C/D, CSI J, CSI 7m /
// 27m / 0m, CSI ?25h) the way a terminal does, including the right margin: a character written
// into the last column leaves the cursor there until the next character wraps it.
#include <algorithm>
#include <string>
#include <vector>

class VirtualScreen {
public:
    explicit VirtualScreen(int width, int column = 0) : m_Width(width), m_Col(column) {
        m_Rows.emplace_back();
    }

    void Feed(const std::string& bytes) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(bytes[i]);
            if (c == 0x1b) {
                i = Escape(bytes, i);
                continue;
            }
            switch (c) {
            case '\a':
                ++m_Bells;
                break;
            case '\b':
                m_Pending = false;
                if (m_Col > 0) {
                    --m_Col;
                }
                break;
            case '\r':
                m_Pending = false;
                m_Col = 0;
                break;
            case '\n':
                m_Pending = false;
                m_Col = 0;
                ++m_Row;
                break;
            default:
                if (c < 32) {
                    break;
                }
                Put(static_cast<char>(c));
            }
        }
    }

    // The text of a row without its trailing blanks.
    std::string Row(int row) const {
        if (row < 0 || row >= static_cast<int>(m_Rows.size())) {
            return "";
        }
        std::string s;
        for (const Cell& cell : m_Rows[row]) {
            s.push_back(cell.ch);
        }
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    }

    // Every row, joined with "\n", without trailing blank rows.
    std::string Text() const {
        std::vector<std::string> rows;
        for (int r = 0; r < static_cast<int>(m_Rows.size()); ++r) {
            rows.push_back(Row(r));
        }
        while (!rows.empty() && rows.back().empty()) {
            rows.pop_back();
        }
        std::string s;
        for (size_t r = 0; r < rows.size(); ++r) {
            s += (r ? "\n" : "") + rows[r];
        }
        return s;
    }

    // The cells shown inverted, as row * width + column.
    std::vector<int> Inverted() const {
        std::vector<int> cells;
        for (int r = 0; r < static_cast<int>(m_Rows.size()); ++r) {
            for (int c = 0; c < static_cast<int>(m_Rows[r].size()); ++c) {
                if (m_Rows[r][c].inverted) {
                    cells.push_back(r * m_Width + c);
                }
            }
        }
        return cells;
    }

    // The terminal changes its width and keeps its rows as they are, wrapping nothing anew:
    // cells past the new width are lost, and the cursor stays in its row, within the width.
    void Resize(int width) {
        m_Width = width;
        for (auto& row : m_Rows) {
            if (static_cast<int>(row.size()) > width) {
                row.resize(width);
            }
        }
        m_Col = std::min(m_Col, width - 1);
        m_Pending = false;
    }

    int CursorRow() const { return m_Row; }
    int CursorColumn() const { return m_Col; }
    int Bells() const { return m_Bells; }

private:
    struct Cell {
        char ch = ' ';
        bool inverted = false;
    };

    void Put(char c) {
        if (m_Pending) {
            m_Pending = false;
            m_Col = 0;
            ++m_Row;
        }
        Cell& cell = At(m_Row, m_Col);
        cell.ch = c;
        cell.inverted = m_Inverse;
        if (m_Col == m_Width - 1) {
            m_Pending = true;
        } else {
            ++m_Col;
        }
    }

    Cell& At(int row, int col) {
        if (static_cast<int>(m_Rows.size()) <= row) {
            m_Rows.resize(row + 1);
        }
        auto& r = m_Rows[row];
        if (static_cast<int>(r.size()) <= col) {
            r.resize(col + 1);
        }
        return r[col];
    }

    // Interprets the escape sequence at bytes[i]; returns the index of its last byte.
    size_t Escape(const std::string& bytes, size_t i) {
        if (i + 1 >= bytes.size()) {
            return i;
        }
        char k = bytes[i + 1];
        if (k == '7') {
            m_Saved = {m_Row, m_Col, m_Inverse};
            return i + 1;
        }
        if (k == '8') {
            m_Row = m_Saved.row;
            m_Col = m_Saved.col;
            m_Inverse = m_Saved.inverse;
            m_Pending = false;
            return i + 1;
        }
        if (k != '[') {
            return i + 1;
        }
        size_t j = i + 2;
        std::string params;
        while (j < bytes.size() && !(bytes[j] >= 0x40 && bytes[j] <= 0x7e)) {
            params.push_back(bytes[j++]);
        }
        if (j >= bytes.size()) {
            return j - 1;
        }
        char final = bytes[j];
        int n = params.empty() || params[0] == '?' ? 1 : std::max(1, std::stoi(params));
        switch (final) {
        case 'A':
            m_Row = std::max(0, m_Row - n);
            m_Pending = false;
            break;
        case 'B':
            m_Row += n;
            m_Pending = false;
            break;
        case 'C':
            m_Col = std::min(m_Width - 1, m_Col + n);
            m_Pending = false;
            break;
        case 'D':
            m_Col = std::max(0, m_Col - n);
            m_Pending = false;
            break;
        case 'J':
            for (int r = m_Row; r < static_cast<int>(m_Rows.size()); ++r) {
                for (int c = (r == m_Row ? m_Col : 0); c < static_cast<int>(m_Rows[r].size());
                     ++c) {
                    m_Rows[r][c] = Cell{};
                }
            }
            break;
        case 'm':
            if (params == "7") {
                m_Inverse = true;
            } else if (params == "27" || params == "0" || params.empty()) {
                m_Inverse = false;
            }
            break;
        default:
            break;
        }
        return j;
    }

    struct Saved {
        int row = 0;
        int col = 0;
        bool inverse = false;
    };

    int m_Width;
    std::vector<std::vector<Cell>> m_Rows;
    int m_Row = 0;
    int m_Col = 0;
    bool m_Pending = false;
    bool m_Inverse = false;
    int m_Bells = 0;
    Saved m_Saved;
};

// The rows that a screen of the given width shows for text written from its first column,
// joined with "\n", without trailing blanks: what VirtualScreen::Text gives for it.
inline std::string WrappedRows(const std::string& text, int width) {
    std::string r;
    for (size_t i = 0; i < text.size(); i += width) {
        std::string row = text.substr(i, width);
        row.erase(row.find_last_not_of(' ') + 1);
        r += (i ? "\n" : "") + row;
    }
    return r;
}
