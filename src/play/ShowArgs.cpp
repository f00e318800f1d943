// SHOW's arguments, word by word.
#include "play/ShowArgs.h"

#include "common/Text.h"
#include "play/ArgParsers.h"
#include "play/PlayConv.h"
#include "play/WindowHelpers.h"

#include <iterator>

namespace {

const char* const kPatternNames[] = {
    "UBER",  "FILL",  "GRID",  "BARS",  "N075R", "N100R", "OLD",   "FQUAD", "WQUAD", "RQUAD",
    "GQUAD", "BQUAD", "CQUAD", "MQUAD", "YQUAD", "XQUAD", "WHEEL", "SMEAR", "FRUIT", "CHILD",
    "DOTTE", "HTCH1", "HTCH2", "HLINE", "VLINE", "XLINE", "ALPHA", "RAINB", "GRAYS",
};

bool ParseDecimal(const char* text, uint32_t* value) {
    return *text != '\0' && ParseNumber(text, 10, value) == 0;
}

// F: the window formats 0 to 6 (not 3), or 100 and above for converter row F - 100.
bool FormatOption(uint32_t value, int32_t* row) {
    if (value >= 100) {
        *row = static_cast<int32_t>(value - 100);
        return QueryConv().IsValidRow(*row);
    }
    return WindowFormatRow(value, row);
}

bool OneLetterOption(ShowParams& p, char letter, const char* text) {
    uint32_t v = 0;
    if (!ParseDecimal(text, &v)) {
        return false;
    }
    switch (UpperAscii(letter)) {
    case 'D':
        p.DelayUs = v;
        return v != 0;
    case 'F':
        return FormatOption(v, &p.Row);
    case 'G':
        p.ShiftStep = v;
        return v != 0;
    case 'H':
        p.Height = v;
        return v != 0;
    case 'N':
        p.Frames = v;
        return true;
    case 'R':
        p.Rate = v;
        return true;
    case 'T':
        p.TeFunction = v;
        return v <= 3;
    case 'W':
        p.Width = v;
        return v != 0;
    default:
        return false;
    }
}

bool TwoLetterOption(ShowParams& p, const char* word, const char* text) {
    uint32_t v = 0;
    uint32_t kind = 0;
    if (CompareNoCase(word, "FG", 2) == 0) {
        return ParseColor(text, 16, &p.Fg, &kind) == 0;
    }
    if (CompareNoCase(word, "BG", 2) == 0) {
        return ParseColor(text, 16, &p.Bg, &kind) == 0;
    }
    if (!ParseDecimal(text, &v)) {
        return false;
    }
    if (CompareNoCase(word, "LW", 2) == 0) {
        p.LineWidth = v;
        return v != 0;
    }
    if (CompareNoCase(word, "GW", 2) == 0) {
        p.GridWidth = v;
        return v != 0;
    }
    if (CompareNoCase(word, "GH", 2) == 0) {
        p.GridHeight = v;
        return v != 0;
    }
    if (CompareNoCase(word, "LC", 2) == 0) {
        p.LineCount = v;
        return v < 1024;
    }
    if (CompareNoCase(word, "ST", 2) == 0) {
        p.TimeMs = v;
        return v != 0;
    }
    return false;
}

bool IsSeparator(char c) {
    return c == ':' || c == '=';
}

} // namespace

bool ParseShowWord(ShowParams& p, const char* word) {
    if (CompareNoCase(word, "PAT", 3) == 0 && IsSeparator(word[3])) {
        for (uint32_t i = 0; i < std::size(kPatternNames); ++i) {
            if (EqualsNoCase(word + 4, kPatternNames[i])) {
                p.Kind = i + 1;
            }
        }
        return true; // an unknown name keeps the pattern chosen so far
    }
    if (EqualsNoCase(word, "ANI")) {
        p.Frames = 0;
    } else if (EqualsNoCase(word, "MAIN")) {
        p.Pip = 0;
    } else if (EqualsNoCase(word, "PIP")) {
        p.Pip = 1;
    } else if (CompareNoCase(word, "MEM:", 4) == 0) {
        p.Memory = true;
        p.MemoryWord = word;
        return ParseStartOperand(word + 4, 0, 1, &p.Address) == 0;
    } else if (EqualsNoCase(word, "FDUMP")) {
        p.Fdump = true;
    } else if (word[0] != '\0' && IsSeparator(word[1])) {
        return OneLetterOption(p, word[0], word + 2);
    } else if (word[0] != '\0' && word[1] != '\0' && IsSeparator(word[2])) {
        return TwoLetterOption(p, word, word + 3);
    } else {
        return false;
    }
    return true;
}
