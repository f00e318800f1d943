#include "play/LineEditor.h"

#include "play/Keywords.h"
#include "support/VirtualScreen.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Keys as the console gives them: extended keys are the prefix 224 (or 0 for function keys)
// followed by their second code.
std::string Ext(int code) {
    return std::string{static_cast<char>(0xE0), static_cast<char>(code)};
}
std::string Fn(int code) {
    return std::string{'\0', static_cast<char>(code)};
}
const std::string UP = Ext(kConsoleKeyUp), DOWN = Ext(kConsoleKeyDown), LEFT = Ext(kConsoleKeyLeft),
                  RIGHT = Ext(kConsoleKeyRight), HOME = Ext(kConsoleKeyHome),
                  END = Ext(kConsoleKeyEnd), PGUP = Ext(kConsoleKeyPgUp),
                  PGDN = Ext(kConsoleKeyPgDn), DEL = Ext(kConsoleKeyDel), INS = Ext(kConsoleKeyIns),
                  F1 = Fn(59), F2 = Fn(60), F3 = Fn(61), F7 = Fn(65), F8 = Fn(66), F9 = Fn(67),
                  ALT_F7 = Fn(kConsoleKeyAltF7);
const std::string ESC = "\x1b", BS = "\b", CTRL_BS = "\x7f", TAB = "\t", ENTER = "\r",
                  CTRL_R = "\x12";

std::string Repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) {
        r += s;
    }
    return r;
}

struct EditRun {
    const char* line; // nullptr when ReadLine gave null
    std::string text;
    std::string out; // what the editor wrote
};

class LineEditor : public ::testing::Test {
protected:
    void SetUp() override {
        HistoryClear();
        KeywordSetActive(nullptr);
    }
    void TearDown() override {
        ConsoleSetInputForTesting(nullptr, 0);
        ConsoleSetScreenForTesting(nullptr, 0, 0);
        KeywordSetActive(nullptr);
        HistoryClear();
    }

    // Reads one line from the keys. width 0: plain output; otherwise a screen of that width
    // whose cursor stands after the prompt "=".
    EditRun Read(const std::string& keys, int width = 0, bool withHistory = true,
                 uint32_t size = 256) {
        ConsoleSetInputForTesting(keys.data(), static_cast<unsigned>(keys.size()));
        EditRun r;
        ConsoleSetScreenForTesting(&r.out, width, 1);
        m_Buffer.assign(size + 1, '#');
        r.line = ReadLine(m_Buffer.data(), size, withHistory);
        if (r.line) {
            r.text = r.line;
        }
        ConsoleSetScreenForTesting(nullptr, 0, 0);
        return r;
    }

    // The screen after the prompt and the editor's output.
    static VirtualScreen Shown(const EditRun& r, int width) {
        VirtualScreen screen(width ? width : 1000);
        screen.Feed("=");
        screen.Feed(r.out);
        return screen;
    }

    static void AddHistory(const std::vector<std::string>& lines) {
        for (const std::string& l : lines) {
            HistoryAdd(l.c_str());
        }
    }

    // Keys typed over a fresh history of the given lines, and the line they give.
    struct KeyCase {
        std::string keys;
        std::string line;
    };
    void ExpectLines(const std::vector<std::string>& history, const std::vector<KeyCase>& cases) {
        for (const KeyCase& c : cases) {
            SCOPED_TRACE(c.line);
            HistoryClear();
            AddHistory(history);
            EXPECT_EQ(Read(c.keys + ENTER).text, c.line);
        }
    }

    std::string m_Buffer;
};

TEST_F(LineEditor, EditingKeysGiveTheLineAndTheScreenShowsIt) {
    struct Case {
        const char* name;
        std::string keys;
        std::string line;
    };
    const Case cases[] = {
        {"typing", "abc", "abc"},
        {"home then insert", "abc" + HOME + "x", "xabc"},
        {"del under the cursor", "abcdef" + LEFT + LEFT + DEL, "abcdf"},
        {"del at the end does nothing", "abc" + DEL, "abc"},
        {"backspace mid-line", "abc" + LEFT + BS, "ac"},
        {"backspace at the start does nothing", "abc" + HOME + BS, "abc"},
        {"right stops at the end", "ab" + RIGHT + "c", "abc"},
        {"left stops at the start", "ab" + HOME + LEFT + "x", "xab"},
        {"end after home", "abc" + HOME + END + "d", "abcd"},
        {"esc empties the line", "abc" + ESC + "xy", "xy"},
        {"ctrl+backspace: word, then blanks", "set hd" + CTRL_BS, "set"},
        {"ctrl+backspace twice", "set hd" + CTRL_BS + CTRL_BS, ""},
        {"ctrl+backspace with blanks before the cursor", "a  b" + LEFT + CTRL_BS, "ab"},
        {"ctrl+backspace at the start", "one two" + HOME + CTRL_BS, "one two"},
        {"ins, F2 and control keys are ignored", "ab" + INS + F2 + "\x01" + "c", "abc"},
        {"enter mid-line keeps the whole line", "abc" + HOME, "abc"},
        {"long line: insert at both ends", "abcdefghijklmnopqrst" + HOME + "X" + END + "Y",
         "XabcdefghijklmnopqrstY"},
        {"long line: delete across the wrap", "0123456789abcdef" + Repeat(LEFT, 8) + BS + BS + "-",
         "012345-89abcdef"},
        {"long line: esc", "0123456789abcdef" + Repeat(LEFT, 3) + ESC + "z", "z"},
    };
    for (int width : {0, 80, 7, 5}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", width " + std::to_string(width));
            EditRun r = Read(c.keys + ENTER, width, false);
            EXPECT_EQ(r.text, c.line);
            EXPECT_EQ(r.line == nullptr, c.line.empty());
            VirtualScreen screen = Shown(r, width);
            EXPECT_EQ(screen.Text(), WrappedRows("=" + c.line, width ? width : 1000));
            EXPECT_TRUE(screen.Inverted().empty());
            EXPECT_EQ(screen.CursorColumn(), 0); // the line ended with a line feed
        }
    }
}

TEST_F(LineEditor, TheLineKeepsToItsSizeAndRingsTheBell) {
    struct Case {
        uint32_t size;
        std::string keys;
        std::string line;
        int bells;
    };
    const Case cases[] = {
        {256, Repeat("a", 255), Repeat("a", 255), 0},
        {256, Repeat("a", 256), Repeat("a", 255), 1},
        {256, Repeat("a", 255) + HOME + "b", Repeat("a", 255), 1},
        {4, "abcd", "abc", 1},
        {4, "abc" + LEFT + BS + "xy", "axc", 1},
        {1, "a", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.size());
        EditRun r = Read(c.keys + ENTER, 0, false, c.size);
        EXPECT_EQ(r.text, c.line);
        EXPECT_EQ(Shown(r, 0).Bells(), c.bells);
        EXPECT_EQ(m_Buffer[c.size], '#'); // nothing written past the buffer
    }
}

TEST_F(LineEditor, PlainOutputEchoesTheLineForTranscripts) {
    EditRun r = Read("r 0\r");
    EXPECT_EQ(r.out, "r 0\n");
    EXPECT_STREQ(r.line, "r 0");
}

TEST_F(LineEditor, EndOfInputEndsTheLineAndIsReported) {
    EditRun r = Read("abc");
    EXPECT_STREQ(r.line, "abc");
    EXPECT_TRUE(LineInputEnded());
    char buffer[16];
    EXPECT_EQ(ReadCommandLine(buffer, sizeof buffer), nullptr);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(LineEditor, EmptyLinesGiveNullAndAreNotStored) {
    EditRun r = Read(ENTER);
    EXPECT_EQ(r.line, nullptr);
    EXPECT_EQ(m_Buffer[0], 0);
    EXPECT_EQ(HistoryCount(), 0u);
    Read("ab" + BS + BS + ENTER);
    EXPECT_EQ(HistoryCount(), 0u);
}

TEST_F(LineEditor, LinesReadWithHistoryAreStoredPlainOnesNot) {
    Read("a" + ENTER);
    Read("b" + ENTER, 0, false);
    Read("a" + ENTER);
    ASSERT_EQ(HistoryCount(), 2u); // equal lines are stored again
    char buffer[8];
    ASSERT_TRUE(HistoryEntry(buffer, sizeof buffer, 1));
    EXPECT_STREQ(buffer, "a");
}

TEST_F(LineEditor, RecallKeysAfterThreeLines) {
    const std::vector<KeyCase> cases = {
        {UP, "c"},
        {UP + UP, "b"},
        {Repeat(UP, 5), "a"},
        {UP + UP + DOWN, "c"},
        {UP + DOWN, ""},
        {UP + DOWN + UP, "c"},
        {PGUP, "a"},
        {PGUP + DOWN, "b"},
        {PGUP + PGDN, "c"},
        {UP + UP + F3, "b"},
        {UP + UP + CTRL_R, "c"},
        {"xyz" + UP, "c"},
        {"xyz" + DOWN, ""},
    };
    ExpectLines({"a", "b", "c"}, cases);
}

TEST_F(LineEditor, RecallReplacesTheShownLine) {
    for (int width : {0, 6}) {
        SCOPED_TRACE(width);
        HistoryClear();
        AddHistory({"a", "long line"});
        EditRun r = Read("some text" + UP + UP + ENTER, width);
        EXPECT_EQ(r.text, "a");
        EXPECT_EQ(Shown(r, width).Text(), "=a");
    }
}

TEST_F(LineEditor, RecallIsCutToTheLineSize) {
    AddHistory({"abcdefgh"});
    EditRun r = Read(UP + ENTER, 0, true, 5);
    EXPECT_EQ(r.text, "abcd");
    EXPECT_EQ(m_Buffer[5], '#');
}

TEST_F(LineEditor, HistoryKeysAreOffInPlainLines) {
    AddHistory({"a"});
    EXPECT_EQ(Read(UP + CTRL_R + PGUP + F3 + F1 + F8 + F7 + F9 + ENTER, 0, false).line, nullptr);
    EXPECT_EQ(HistoryCount(), 1u);
}

TEST_F(LineEditor, TheOldestLineGoesAfter32) {
    for (int i = 0; i < 33; ++i) {
        Read("line" + std::to_string(i) + ENTER);
    }
    EXPECT_EQ(HistoryCount(), kHistorySize);
    EXPECT_EQ(Read(F9 + "0" + ENTER + ENTER).text, "line1");
    // The recalled line was stored again, so line1 is the newest now and line2 the oldest.
    EXPECT_EQ(Read(PGUP + ENTER).text, "line2");
}

TEST_F(LineEditor, DownPastTheNewestEmptiesTheLineWithAFullHistory) {
    for (int i = 0; i < 32; ++i) {
        HistoryAdd(("l" + std::to_string(i)).c_str());
    }
    EXPECT_EQ(Read(UP + DOWN + ENTER).line, nullptr);
    HistoryClear();
    for (int i = 0; i < 32; ++i) {
        HistoryAdd(("l" + std::to_string(i)).c_str());
    }
    EXPECT_EQ(Read(UP + DOWN + UP + ENTER).text, "l31");
}

TEST_F(LineEditor, NumberModeSelectsAnEntry) {
    struct Case {
        std::string keys;
        std::string line;
    };
    const Case cases[] = {
        {F9 + "1" + ENTER, "second"},
        {F9 + "9" + BS + "2" + ENTER, "third"},
        {F9 + "x" + UP + "0" + ENTER, "first"}, // other keys are ignored
        {F9 + "0001" + ENTER, "first"},         // three digits at most
        {F9 + "5" + ENTER, ""},
        {F9 + ENTER, ""},
        {"typed" + F9 + "2" + ENTER + "!", "third!"}, // Enter leaves the mode, editing goes on
    };
    for (int width : {0, 30}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.line + ", width " + std::to_string(width));
            HistoryClear();
            AddHistory({"first", "second", "third"});
            EditRun r = Read(c.keys + ENTER, width);
            EXPECT_EQ(r.text, c.line);
            EXPECT_EQ(Shown(r, width).Text(), "=" + c.line);
        }
    }
}

TEST_F(LineEditor, F8FindsLinesThatBeginWithTheTextBeforeTheCursor) {
    const std::vector<KeyCase> cases = {
        {"r " + F8, "r 1"},
        {"r " + F8 + F8, "r 3"},
        {"r " + F8 + F8 + F8, "r 1"}, // wraps round
        {"r " + F8 + "x", "r x1"},    // the cursor stays after the typed text
        {"q" + F8, "q"},              // nothing begins so: the line stays
        {"r 3" + HOME + RIGHT + F8 + F8, "r 3"},
    };
    ExpectLines({"r 1", "w 2", "r 3"}, cases);
}

TEST_F(LineEditor, F1TakesOneMoreCharacterOfTheCurrentEntry) {
    const std::vector<KeyCase> cases = {
        {F1, "h"},        {F1 + F1 + F1, "hel"},    {"he" + F1, "hel"},
        {"hx" + F1, "h"}, {Repeat(F1, 9), "hello"},
    };
    ExpectLines({"hello"}, cases);
}

TEST_F(LineEditor, F7ListsTheHistoryAndEndsTheLineEmpty) {
    AddHistory({"r 0", "help"});
    EditRun r = Read("abc" + F7);
    EXPECT_EQ(r.line, nullptr);
    const std::string listing =
        "\n\n========================= Command Buffer List "
        "=================================\n\n"
        " 0: r 0\n"
        " 1: help\n"
        "\n==============================================================================="
        "\n\n\r";
    EXPECT_NE(r.out.find(listing), std::string::npos) << r.out;
    EXPECT_EQ(HistoryCount(), 2u);
}

TEST_F(LineEditor, AltF7EmptiesTheHistory) {
    AddHistory({"a", "b"});
    EXPECT_EQ(Read(ALT_F7 + UP + ENTER).line, nullptr);
    EXPECT_EQ(HistoryCount(), 0u);
    EXPECT_FALSE(HistoryList());
}

class LineEditorTab : public LineEditor {
protected:
    void SetUp() override {
        LineEditor::SetUp();
        KeywordInit(&m_Dictionary);
        for (const char* w : {"hdp", "hdisp", "vdp"}) {
            KeywordAdd(&m_Dictionary, w);
        }
        KeywordSetActive(&m_Dictionary);
    }
    Tree m_Dictionary{&FreeWordNode};
};

TEST_F(LineEditorTab, CompletesTheWordAfterTheLastBlank) {
    struct Case {
        const char* name;
        std::string keys;
        std::string line;
        int bells;
        bool listed;
    };
    const Case cases[] = {
        {"one match", "set v" + TAB, "set vdp ", 0, false},
        {"the whole keyword", "set hdp" + TAB, "set hdp ", 0, false},
        {"no match", "set x" + TAB, "set x", 1, false},
        {"longer beginning: completed and listed", "set h" + TAB, "set hd", 0, true},
        {"not longer: the first Tab lists nothing", "set hd" + TAB, "set hd", 0, false},
        {"not longer: the second Tab lists", "set hd" + TAB + TAB, "set hd", 0, true},
        {"another key between the Tabs", "set hd" + TAB + LEFT + TAB, "set hd", 0, false},
        {"the command word alone", "hd" + TAB, "hd", 0, false},
        {"nothing after the blank", "set " + TAB, "set ", 0, false},
        {"the last word only", "set hdp v" + TAB, "set hdp vdp ", 0, false},
        {"completed, then typed on", "set v" + TAB + "1", "set vdp 1", 0, false},
    };
    for (int width : {0, 9}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", width " + std::to_string(width));
            EditRun r = Read(c.keys + ENTER, width);
            EXPECT_EQ(r.text, c.line);
            VirtualScreen screen = Shown(r, width);
            EXPECT_EQ(screen.Bells(), c.bells);
            bool listed = r.out.find("\nhdp\nhdisp\n\n") != std::string::npos ||
                          r.out.find("\nhdisp\nhdp\n\n") != std::string::npos;
            EXPECT_EQ(listed, c.listed) << r.out;
            // The line is drawn again under the listing: the last rows show it.
            std::string text = screen.Text();
            std::string shown = WrappedRows("=" + c.line, width ? width : 1000);
            EXPECT_EQ(text.substr(text.size() - std::min(text.size(), shown.size())), shown);
        }
    }
}

TEST_F(LineEditorTab, ACompletionIsCutToTheLineSize) {
    EditRun r = Read("set hdi" + TAB + ENTER, 0, true, 10);
    EXPECT_EQ(r.text, "set hdisp"); // the blank after the keyword no longer fits
    EXPECT_EQ(m_Buffer[10], '#');
    for (int width : {0, 5}) {
        r = Read("set v" + TAB + ENTER, width, true, 7);
        EXPECT_EQ(r.text, "set vd");
        EXPECT_EQ(m_Buffer[7], '#');
        EXPECT_EQ(Shown(r, width).Text(), WrappedRows("=set vd", width ? width : 1000));
    }
}

TEST_F(LineEditorTab, MoreThanTenMatchesAskFirst) {
    KeywordInit(&m_Dictionary);
    for (int i = 0; i < 12; ++i) {
        KeywordAdd(&m_Dictionary, ("pip" + std::to_string(i + 10)).c_str());
    }
    struct Case {
        std::string answer;
        bool listed;
    };
    for (const Case& c : {Case{"y", true}, Case{"Y", true}, Case{"n", false}, Case{ENTER, false}}) {
        SCOPED_TRACE(c.answer);
        EditRun r = Read("set p" + TAB + c.answer + ENTER);
        EXPECT_NE(r.out.find("\n\n12 results found, display? [y/N]\n"), std::string::npos);
        EXPECT_EQ(r.out.find("\npip10\n") != std::string::npos, c.listed) << r.out;
        EXPECT_EQ(r.text, "set pip");
    }
}

TEST_F(LineEditorTab, TenMatchesAreListedElevenAskFirst) {
    for (const int count : {10, 11}) {
        SCOPED_TRACE(count);
        const bool asks = count > 10;
        KeywordInit(&m_Dictionary);
        for (int i = 0; i < count; ++i) {
            KeywordAdd(&m_Dictionary, ("pip" + std::to_string(i + 10)).c_str());
        }
        EditRun r = Read("set p" + TAB + (asks ? "y" : "") + ENTER);
        const std::string question =
            "\n\n" + std::to_string(count) + " results found, display? [y/N]\n";
        EXPECT_EQ(r.out.find(question) != std::string::npos, asks) << r.out;
        EXPECT_NE(r.out.find("\npip10\n"), std::string::npos) << r.out;
    }
}

TEST_F(LineEditorTab, NoDictionaryNoCompletion) {
    KeywordSetActive(nullptr);
    EditRun r = Read("set v" + TAB + ENTER);
    EXPECT_EQ(r.text, "set v");
    EXPECT_EQ(r.out, "set v\n");
}

TEST(LineEditorKeys, ExtendedKeysComeAsTheirSecondCodeTimes256) {
    const std::string keys = "a" + UP + F7 + ALT_F7 + "\r";
    ConsoleSetInputForTesting(keys.data(), static_cast<unsigned>(keys.size()));
    EXPECT_EQ(GetKey(), 'a');
    EXPECT_EQ(GetKey(), kKeyUp);
    EXPECT_EQ(GetKey(), kKeyF7);
    EXPECT_EQ(GetKey(), kKeyAltF7);
    EXPECT_EQ(GetKey(), kKeyEnter);
    EXPECT_EQ(GetKey(), kKeyEndOfInput);
    const std::string cut = "\xE0";
    ConsoleSetInputForTesting(cut.data(), 1);
    EXPECT_EQ(GetKey(), kKeyEndOfInput); // a prefix without its second code
    ConsoleSetInputForTesting(nullptr, 0);
}

TEST(LineEditorCaret, TheCaretCellIsInvertedAndPutBack) {
    std::string out;
    ConsoleSetScreenForTesting(&out, 10, 0);
    ConsoleWrite("abc\b");
    CaretShow('c');
    VirtualScreen screen(10);
    screen.Feed(out);
    EXPECT_EQ(screen.Inverted(), std::vector<int>{2});
    EXPECT_EQ(screen.CursorColumn(), 2);
    out.clear();
    CaretHide();
    screen.Feed(out);
    EXPECT_TRUE(screen.Inverted().empty());
    EXPECT_EQ(screen.Text(), "abc");
    EXPECT_EQ(screen.CursorColumn(), 2);
    ConsoleSetScreenForTesting(nullptr, 0, 0);
}

TEST(LineEditorCaret, PlainOutputHasNoEscapes) {
    std::string out;
    ConsoleSetScreenForTesting(&out, 0, 0);
    CaretShow('x');
    CaretHide();
    EraseShownLine(1, 2);
    EXPECT_EQ(out, "  \b\b \b\b \b"); // blanks to the end, then " \b\b" per character, " \b"
    ConsoleSetScreenForTesting(nullptr, 0, 0);
}

} // namespace
