#include "play/LineEditor.h"

#include "play/ArgParsers.h"
#include "play/Keywords.h"
#include "play/Output.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The history: entries oldest first.
struct HistoryBlock {
    int32_t m_Current = 0; // the entry that Up/Down move from
    int32_t m_Count = 0;   // 0..32; the entry added last is always the newest
    std::array<std::string, kHistorySize> m_Entries;
};

HistoryBlock s_History;
int32_t s_Shown = -1;     // the entry shown last by a recall
int32_t s_SearchPos = -1; // where the last prefix search (F8) found its entry
bool s_TabFlag = false;   // a Tab with several matches that listed nothing yet

// The caret cell while it is shown.
bool s_CaretShown = false;
char s_CaretChar = ' ';

const char* const kNumberPrompt = "Enter Command Number: ";

// The frame of F7's listing: 25 + 21 + 33 and 79 characters wide.
const std::string kListHeader =
    "\n\n" + std::string(25, '=') + " Command Buffer List " + std::string(33, '=') + "\n\n";
const std::string kListFooter = "\n" + std::string(79, '=') + "\n\n\r";

// Completions listed at once; more are listed only when the user says so.
constexpr int kCompletionsListedAtOnce = 10;

void CopyCut(char* buffer, uint32_t size, const std::string& text) {
    if (size == 0) {
        return;
    }
    size_t n = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
}

bool HistoryHas(int32_t n) {
    return n >= 0 && n < s_History.m_Count;
}

// Erases a shown line of length characters with backspaces and blanks, the cursor standing at
// cursor: blanks to the end, then blank, backspace, backspace per character and a last blank,
// backspace, which leaves the cursor at the start of the line.
void PlainErase(uint32_t cursor, uint32_t length) {
    for (uint32_t k = cursor; k < length; ++k) {
        ConsolePutch(' ');
    }
    for (uint32_t k = 0; k < length; ++k) {
        ConsoleWrite(" \b\b");
    }
    ConsoleWrite(" \b");
}

// The shown line and the cursor on the console. Positions are indices into the shown text,
// whose first character stands at column m_Col0. On a screen the cursor moves with escapes
// (rows and columns worked out from the width, so lines longer than the screen wrap
// correctly); on plain output with backspaces and by writing the text again.
class LineView {
public:
    void Begin() {
        m_Screen = ConsoleHasScreen();
        m_Width = std::max(ConsoleWidth(), 1);
        int col = m_Screen ? ConsoleCursorColumn() : 0;
        m_Col0 = col < 0 ? 0 : col % m_Width;
        m_Pos = 0;
        m_Shown.clear();
    }

    // After "\n" and a prompt of promptLength characters were written: the line starts anew.
    void Restart(int promptLength) {
        m_Width = std::max(ConsoleWidth(), 1);
        m_Col0 = promptLength % m_Width;
        m_Pos = 0;
        m_Shown.clear();
    }

    uint32_t Pos() const { return m_Pos; }
    uint32_t Length() const { return static_cast<uint32_t>(m_Shown.size()); }
    bool Screen() const { return m_Screen; }

    // Moves the cursor to index i of the shown text.
    void MoveTo(uint32_t i) {
        if (i == m_Pos) {
            return;
        }
        if (m_Screen) {
            long a = m_Col0 + static_cast<long>(m_Pos);
            long b = m_Col0 + static_cast<long>(i);
            ConsoleMoveCursor(static_cast<int>(b / m_Width - a / m_Width),
                              static_cast<int>(b % m_Width - a % m_Width));
        } else if (i < m_Pos) {
            for (uint32_t k = i; k < m_Pos; ++k) {
                ConsolePutch('\b');
            }
        } else {
            for (uint32_t k = m_Pos; k < i; ++k) {
                ConsolePutch(m_Shown[k]);
            }
        }
        m_Pos = i;
    }

    // Shows line (equal to the shown text before index from) with the cursor at cursor.
    void Render(const std::string& line, uint32_t from, uint32_t cursor) {
        from = std::min<uint32_t>({from, Length(), static_cast<uint32_t>(line.size())});
        MoveTo(from);
        size_t oldLength = m_Shown.size();
        m_Shown = line;
        Emit(from, static_cast<uint32_t>(line.size()));
        if (oldLength > line.size()) {
            EraseTail(static_cast<uint32_t>(oldLength - line.size()));
        }
        MoveTo(cursor);
    }

    // The terminal may have changed its width: when it did, shows the line again at the new
    // width with the cursor at its place. A terminal that lays its rows out again at the new
    // width (rejoining the rows it wrapped itself, which is how the line is written) keeps the
    // cursor on its character, at the column the new width gives it: the line is then drawn
    // again where it stands. A terminal that kept its rows as they were leaves the cursor where
    // it was (within the new width): the prompt and the line are then drawn again below the old
    // rows. Where the cursor's column fits both but its row would differ, the line is drawn again
    // below the old rows of either.
    void FollowWidth(const char* prompt) {
        const int width = std::max(ConsoleWidth(), 1);
        if (!m_Screen || width == m_Width) {
            return;
        }
        const uint32_t cursor = m_Pos;
        const long at = m_Col0 + static_cast<long>(m_Pos);
        const int column = ConsoleCursorColumn();
        const bool laidOut = column == at % width;
        const bool kept = column == std::min<long>(at % m_Width, width - 1);
        if (column < 0 || (laidOut && (!kept || at / width == at / m_Width))) {
            m_Width = width;
            MoveTo(0);
            ConsoleEraseToEnd();
            Emit(0, Length());
            MoveTo(cursor);
            return;
        }
        if (column == at % m_Width) {
            // The cursor stands on the caret cell: it is put back to plain.
            ConsoleCaretCell(m_Pos < Length() ? m_Shown[m_Pos] : ' ', false);
        }
        // Down to the row after the line's last, counted at both widths.
        const long end = m_Col0 + static_cast<long>(Length());
        const long down =
            std::max(end / m_Width - at / m_Width, laidOut ? end / width - at / width : 0);
        ConsoleMoveCursor(static_cast<int>(down), 0);
        const std::string shown = m_Shown;
        ConsoleWrite("\n");
        ConsoleWrite(prompt);
        Restart(static_cast<int>(std::strlen(prompt)));
        Render(shown, 0, cursor);
    }

    // Erases the whole shown line; the cursor ends at its start.
    void EraseAll() {
        if (m_Screen) {
            MoveTo(0);
            ConsoleEraseToEnd();
        } else {
            PlainErase(m_Pos, Length());
        }
        m_Pos = 0;
        m_Shown.clear();
    }

private:
    // Writes shown characters [from, to) with the cursor at from; the cursor ends at to.
    void Emit(uint32_t from, uint32_t to) {
        if (to <= from) {
            return;
        }
        std::string part = m_Shown.substr(from, to - from);
        ConsoleWrite(part.c_str());
        m_Pos = to;
        // A character written into the last column leaves the terminal's cursor waiting to
        // wrap; move it to the next row now, so that it is where the count says. A blank
        // wraps it as the terminal wraps the text (a line feed would not), so that a terminal
        // that lays its rows out again after a resize keeps the line in one piece.
        if (m_Screen && (m_Col0 + m_Pos) % static_cast<uint32_t>(m_Width) == 0) {
            ConsoleWrite(" \r");
        }
    }

    // Clears n cells after the end of the text, where the cursor stands.
    void EraseTail(uint32_t n) {
        if (m_Screen) {
            ConsoleEraseToEnd();
            return;
        }
        for (uint32_t k = 0; k < n; ++k) {
            ConsolePutch(' ');
        }
        for (uint32_t k = 0; k < n; ++k) {
            ConsolePutch('\b');
        }
    }

    bool m_Screen = false;
    int m_Width = 80;
    int m_Col0 = 0;
    uint32_t m_Pos = 0;
    std::string m_Shown;
};

LineView s_View;

// The editing state of one ReadLine.
struct Edit {
    std::string line;
    uint32_t cursor = 0;
    uint32_t max = 0; // size - 1

    // Replaces the shown line by text (cut to max) with the cursor at its end.
    void Replace(const std::string& text) {
        s_View.EraseAll();
        line = text.substr(0, max);
        cursor = static_cast<uint32_t>(line.size());
        s_View.Render(line, 0, cursor);
    }

    // Shows line after a change that began at index from.
    void Show(uint32_t from) { s_View.Render(line, from, cursor); }

    // A buffer of the line's size for the history functions, holding text.
    std::string Scratch(const std::string& text = {}) const {
        std::string buffer = text;
        buffer.resize(max + 1);
        return buffer;
    }

    // Writes the prompt and the line again on a new row (after a listing).
    void Redraw() {
        ConsoleWrite("\n");
        ConsoleWrite(g_Prompt);
        s_View.Restart(static_cast<int>(std::strlen(g_Prompt)));
        cursor = static_cast<uint32_t>(line.size());
        s_View.Render(line, 0, cursor);
    }
};

void Bell() {
    ConsolePutch(kKeyBell);
}

// Deletes the word before the cursor, then the blanks before it.
void DeleteWordBefore(Edit& e) {
    uint32_t start = e.cursor;
    while (start > 0 && e.line[start - 1] != ' ') {
        --start;
    }
    while (start > 0 && e.line[start - 1] == ' ') {
        --start;
    }
    if (start == e.cursor) {
        return;
    }
    e.line.erase(start, e.cursor - start);
    e.cursor = start;
    e.Show(start);
}

void TabComplete(Edit& e) {
    Tree* dictionary = KeywordGetActive();
    if (dictionary == nullptr) {
        return;
    }
    size_t blank = e.line.rfind(' ');
    if (blank == std::string::npos || blank + 1 >= e.line.size()) {
        return; // the command word alone, or nothing after the last blank
    }
    const uint32_t wordStart = static_cast<uint32_t>(blank + 1);
    const std::string word = e.line.substr(wordStart);
    char* found = nullptr;
    int32_t n = KeywordComplete(dictionary, word.c_str(), &found);
    const std::string match = found ? found : "";
    std::free(found);
    if (n <= 0) {
        Bell();
        s_TabFlag = false;
        return;
    }
    auto replaceWord = [&](const std::string& text) {
        // The completed word is cut so that the line keeps to its size.
        e.line = (e.line.substr(0, wordStart) + text).substr(0, e.max);
        e.cursor = static_cast<uint32_t>(e.line.size());
        e.Show(wordStart);
    };
    if (n == 1) {
        replaceWord(match + " ");
        s_TabFlag = false;
        return;
    }
    if (match.size() > word.size()) {
        replaceWord(match);
        s_TabFlag = true;
        ListCompletions(match.c_str(), n);
        e.Redraw();
        return;
    }
    if (!s_TabFlag) {
        s_TabFlag = true;
        return;
    }
    ConsolePutch(' ');
    ListCompletions(match.c_str(), n);
    e.Redraw();
}

// The terminal changed its size while a key was awaited: the line follows the new width, and
// the caret cell, which the redraw writes over, is shown again.
void RedrawAfterResize() {
    const bool caret = s_CaretShown;
    s_CaretShown = false;
    s_View.FollowWidth(g_Prompt);
    if (caret) {
        CaretShow(s_CaretChar);
    }
}

// A key read while the screen shows the line (or the number prompt) as the view knows it: a
// resize meanwhile draws it again at the new width.
int32_t EditingKey() {
    ConsoleSetResizeHook(&RedrawAfterResize);
    const int32_t key = GetKey();
    ConsoleSetResizeHook(nullptr);
    return key;
}

// F9: "Enter Command Number: " and up to three digits; Enter takes that entry.
void NumberMode(Edit& e) {
    s_View.EraseAll();
    std::string digits;
    auto show = [&] {
        std::string text = kNumberPrompt + digits;
        s_View.Render(text, 0, static_cast<uint32_t>(text.size()));
    };
    show();
    for (;;) {
        int32_t key = EditingKey();
        if (key == kKeyEndOfInput) {
            break;
        }
        if (key == kKeyEnter || key == kKeyLineFeed) {
            break;
        }
        if (key >= '0' && key <= '9' && digits.size() < 3) {
            digits.push_back(static_cast<char>(key));
            show();
        } else if (key == kKeyBackspace && !digits.empty()) {
            digits.pop_back();
            show();
        }
    }
    std::string entry = e.Scratch();
    if (digits.empty() ||
        !HistoryEntry(entry.data(), e.max + 1, static_cast<uint32_t>(std::atoi(digits.c_str())))) {
        entry[0] = 0;
    }
    // The entry (or nothing) replaces the number prompt.
    s_View.EraseAll();
    e.line = entry.c_str();
    e.cursor = static_cast<uint32_t>(e.line.size());
    s_View.Render(e.line, 0, e.cursor);
}

// Recalls an entry; a recall that finds none leaves the line, except Down past the newest,
// which empties it.
void Recall(Edit& e, int mode) {
    if (s_History.m_Count == 0) {
        return;
    }
    std::string text = e.Scratch();
    if (HistoryRecall(text.data(), e.max + 1, mode)) {
        e.Replace(text.c_str());
    } else if (mode == kHistoryNext) {
        e.Replace("");
    }
}

// The recall mode of a history key; -1 for any other key.
int RecallModeOf(int32_t key) {
    static constexpr struct {
        int32_t m_Key;
        int m_Mode;
    } kRecallKeys[] = {
        {kKeyCtrlR, kHistoryLast},   {kKeyUp, kHistoryPrevious},     {kKeyDown, kHistoryNext},
        {kKeyPageUp, kHistoryFirst}, {kKeyPageDown, kHistoryNewest}, {kKeyF3, kHistoryCurrent},
    };
    for (const auto& k : kRecallKeys) {
        if (k.m_Key == key) {
            return k.m_Mode;
        }
    }
    return -1;
}

char CaretCharOf(const Edit& e) {
    return e.cursor < e.line.size() ? e.line[e.cursor] : ' ';
}

// The line being edited, while ReadLine runs.
Edit* s_Editing = nullptr;

// The program was stopped and continued while the line was edited: the shell wrote on the
// screen meanwhile, so the caret cell is gone and the line is drawn again on a row of its own.
void RedrawAfterStop() {
    if (s_Editing == nullptr) {
        return;
    }
    s_CaretShown = false;
    s_Editing->Redraw();
    CaretShow(CaretCharOf(*s_Editing));
}

} // namespace

void ConsoleInit() {
    ConsoleShowCursor();
    SetExprHook(nullptr);
    HistoryClear();
}

char* ReadCommandLine(char* buffer, uint32_t size) {
    return ReadLine(buffer, size, true);
}

char* ReadPlainLine(char* buffer, uint32_t size) {
    return ReadLine(buffer, size, false);
}

int32_t GetKey() {
    int c = ConsoleGetch();
    if (c == kConsolePrefixFunction || c == kConsolePrefixExtended) {
        int second = ConsoleGetch();
        if (second == kConsoleEndOfInput) {
            return kKeyEndOfInput;
        }
        return second * 256;
    }
    return c;
}

bool LineInputEnded() {
    return ConsoleInputEnded();
}

char* ReadLine(char* buffer, uint32_t size, bool withHistory) {
    if (buffer == nullptr || size == 0) {
        return nullptr;
    }
    Edit e;
    e.max = size - 1;
    s_View.Begin();
    s_TabFlag = false;
    bool listed = false;
    s_Editing = &e;
    ConsoleSetContinueHook(&RedrawAfterStop);
    CaretShow(' ');
    for (;;) {
        int32_t key = EditingKey();
        CaretHide();
        if (key == kKeyEndOfInput || key == kKeyEnter || key == kKeyLineFeed) {
            break;
        }
        if (key != kKeyTab) {
            s_TabFlag = false;
        }
        if (key >= 32 && key <= 126) {
            if (e.line.size() < e.max) {
                e.line.insert(e.line.begin() + e.cursor, static_cast<char>(key));
                ++e.cursor;
                e.Show(e.cursor - 1);
            } else {
                Bell();
            }
        } else if (key == kKeyBackspace) {
            if (e.cursor > 0) {
                --e.cursor;
                e.line.erase(e.cursor, 1);
                e.Show(e.cursor);
            }
        } else if (key == kKeyCtrlBackspace) {
            DeleteWordBefore(e);
        } else if (key == kKeyDelete) {
            if (e.cursor < e.line.size()) {
                e.line.erase(e.cursor, 1);
                e.Show(e.cursor);
            }
        } else if (key == kKeyLeft) {
            if (e.cursor > 0) {
                s_View.MoveTo(--e.cursor);
            }
        } else if (key == kKeyRight) {
            if (e.cursor < e.line.size()) {
                s_View.MoveTo(++e.cursor);
            }
        } else if (key == kKeyHome) {
            e.cursor = 0;
            s_View.MoveTo(0);
        } else if (key == kKeyEnd) {
            e.cursor = static_cast<uint32_t>(e.line.size());
            s_View.MoveTo(e.cursor);
        } else if (key == kKeyEsc) {
            s_View.EraseAll();
            e.line.clear();
            e.cursor = 0;
        } else if (key == kKeyTab) {
            TabComplete(e);
        } else if (withHistory) {
            if (const int mode = RecallModeOf(key); mode >= 0) {
                Recall(e, mode);
            } else if (key == kKeyF1) {
                std::string text = e.Scratch(e.line);
                if (HistoryComplete(text.data(), e.max + 1)) {
                    e.Replace(text.c_str());
                }
            } else if (key == kKeyF8) {
                std::string text = e.Scratch(e.line);
                if (HistorySearchPrefix(text.data(), e.max + 1, e.cursor)) {
                    e.line = text.c_str();
                    e.Show(e.cursor);
                }
            } else if (key == kKeyF7) {
                s_View.MoveTo(static_cast<uint32_t>(e.line.size()));
                HistoryList();
                e.line.clear();
                listed = true;
                break;
            } else if (key == kKeyAltF7) {
                HistoryClear();
            } else if (key == kKeyF9) {
                NumberMode(e);
            }
        }
        CaretShow(CaretCharOf(e));
    }
    ConsoleSetContinueHook(nullptr);
    s_Editing = nullptr;
    if (!listed) {
        s_View.MoveTo(static_cast<uint32_t>(e.line.size()));
    }
    ConsoleWrite("\n");
    CopyCut(buffer, size, e.line);
    if (e.line.empty()) {
        return nullptr;
    }
    if (withHistory) {
        HistoryAdd(buffer);
    }
    return buffer;
}

void HistoryAdd(const char* line) {
    s_Shown = -1;
    if (line == nullptr || line[0] == 0) {
        return;
    }
    HistoryBlock& h = s_History;
    if (h.m_Count < static_cast<int32_t>(kHistorySize)) {
        h.m_Entries[h.m_Count++] = line;
    } else {
        std::move(h.m_Entries.begin() + 1, h.m_Entries.end(), h.m_Entries.begin());
        h.m_Entries[kHistorySize - 1] = line;
    }
    h.m_Current = h.m_Count - 1;
}

bool HistoryRecall(char* buffer, uint32_t size, int mode) {
    HistoryBlock& h = s_History;
    if (h.m_Count == 0) {
        return false;
    }
    switch (mode) {
    case kHistoryLast:
    case kHistoryCurrent:
        break;
    case kHistoryNext:
        // m_Current may stand one past the newest entry: there is no next entry there, so
        // Down past the newest empties the line even with a full history.
        if (h.m_Current < h.m_Count) {
            ++h.m_Current;
        }
        break;
    case kHistoryPrevious:
        if (s_Shown == h.m_Current && h.m_Current != 0) {
            --h.m_Current;
        }
        break;
    case kHistoryFirst:
        h.m_Current = 0;
        break;
    case kHistoryNewest:
        h.m_Current = h.m_Count - 1;
        break;
    default:
        return false;
    }
    s_Shown = mode == kHistoryLast ? h.m_Count - 1 : h.m_Current;
    if (!HistoryHas(s_Shown)) {
        return false;
    }
    CopyCut(buffer, size, h.m_Entries[s_Shown]);
    return true;
}

bool HistorySearchPrefix(char* buffer, uint32_t size, uint32_t length) {
    HistoryBlock& h = s_History;
    if (h.m_Count == 0 || size == 0) {
        return false;
    }
    length = std::min<uint32_t>(length, static_cast<uint32_t>(strnlen(buffer, size)));
    for (int32_t k = 1; k <= h.m_Count; ++k) {
        int32_t i = ((s_SearchPos < 0 ? -1 : s_SearchPos) + k) % h.m_Count;
        const std::string& entry = h.m_Entries[i];
        if (entry.compare(0, length, buffer, length) == 0 && entry.size() >= length) {
            s_SearchPos = i;
            CopyCut(buffer, size, entry);
            return true;
        }
    }
    return false;
}

bool HistoryComplete(char* buffer, uint32_t size) {
    HistoryBlock& h = s_History;
    if (!HistoryHas(h.m_Current) || size == 0) {
        return false;
    }
    const std::string& entry = h.m_Entries[h.m_Current];
    size_t n = strnlen(buffer, size);
    size_t take = 1;
    if (n == 0 || entry.compare(0, n, buffer, n) == 0) {
        take = std::min(n + 1, entry.size());
    }
    CopyCut(buffer, size, entry.substr(0, take));
    return true;
}

bool HistoryList() {
    HistoryBlock& h = s_History;
    if (h.m_Count == 0) {
        return false;
    }
    ConsoleWrite(kListHeader.c_str());
    for (int32_t i = 0; i < h.m_Count; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%2u: ", static_cast<unsigned>(i));
        ConsoleWrite(number);
        ConsoleWrite(h.m_Entries[i].c_str());
        ConsoleWrite("\n");
    }
    ConsoleWrite(kListFooter.c_str());
    return true;
}

void HistoryClear() {
    s_History = HistoryBlock{};
    s_Shown = -1;
    s_SearchPos = -1;
}

bool HistoryEntry(char* buffer, uint32_t size, uint32_t n) {
    if (n >= static_cast<uint32_t>(s_History.m_Count)) {
        return false;
    }
    CopyCut(buffer, size, s_History.m_Entries[n]);
    return true;
}

uint32_t HistoryCount() {
    return static_cast<uint32_t>(s_History.m_Count);
}

void ListCompletions(const char* prefix, int count) {
    Tree* dictionary = KeywordGetActive();
    if (dictionary == nullptr) {
        return;
    }
    if (count > kCompletionsListedAtOnce) {
        char question[64];
        std::snprintf(question, sizeof question, "\n\n%d results found, display? [y/N]\n", count);
        ConsoleWrite(question);
        int32_t answer = GetKey();
        if (answer != 'y' && answer != 'Y') {
            return;
        }
    }
    Tree list(FreeWordNode);
    KeywordCollect(dictionary, nullptr, &list, prefix);
    ConsoleWrite("\n");
    TreeHandle node = nullptr;
    for (bool more = list.GetRoot(node); more; more = list.ToNext(node)) {
        const auto* word = static_cast<const KeywordNode*>(list.GetData(node));
        if (word != nullptr && word->Text != nullptr) {
            ConsoleWrite(word->Text);
            ConsoleWrite("\n");
        }
    }
    ConsoleWrite("\n");
}

void EraseShownLine(uint32_t cursor, uint32_t length) {
    if (ConsoleHasScreen()) {
        s_View.MoveTo(std::min(cursor, s_View.Length()));
        s_View.EraseAll();
        return;
    }
    PlainErase(cursor, length);
}

void CaretShow(char under) {
    s_CaretChar = under;
    s_CaretShown = true;
    ConsoleCaretCell(under, true);
}

void CaretHide() {
    if (!s_CaretShown) {
        return;
    }
    s_CaretShown = false;
    ConsoleCaretCell(s_CaretChar, false);
}
