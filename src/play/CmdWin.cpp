// WIN: lists the main and PIP windows, prints them as WIN commands (V), or writes the window
// features that its words name, and only those.
#include "common/Text.h"
#include "play/ArgParsers.h"
#include "play/DisplayCommands.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/WindowHelpers.h"

#include <cstring>
#include <span>

namespace {

// The start-address field of a window is 19 bits wide.
constexpr uint32_t kMaxStartAddr = 0x7FFFF;

const char* const kWinListing[] = {
    "\n",
    "\tSADDR    = Start Address\n",
    "\tW,H      = Window Width & Height\n",
    "\tF        = Color Format\n",
    "\tRot      = Rotation\n",
    "\tXPos,YPos= Output Window X & Y Start Position\n",
    "\tFR       = Blink/Fade Period\n",
    "\tFT       = Blink/Fade Effect\n",
    "\tAL       = Alpha Blending Ratio\n",
    "\tTR       = Transparency Enable\n",
    "\tTColor   = Transparency Key Color\n",
    "\tNote: The values displayed are the current register settings.\n",
};

const char* const kWinUsage[] = {
    " Sets up a window in display memory.\n",
    " MAIN|PIP  - Window to set up (default: MAIN).\n",
    " SA=addr   - Start address in display memory.\n",
    " F=n       - Color format: [0] RGB 888, [1] RGB 565, [2] 8-bit Mono,\n",
    "             [4] RGB 888 + LUT, [5] RGB 565 + LUT, [6] RGB 332 + LUT.\n",
    " R=n       - Rotation in degrees: 0, 90, 180 or 270.\n",
    " W=n H=n   - Width and height of the PIP window.\n",
    " X=n Y=n   - Start position of the PIP window.\n",
    " FR=n      - Blink/fade period (below 128).\n",
    " FT=n      - Blink/fade effect:\n",
    "             [0] Blank\n",
    "             [1] Normal\n",
    "             [2] Blink 1\n",
    "             [3] Blink 2\n",
    "             [4] Fade Out\n",
    "             [5] Fade In\n",
    "             [6] Fade In/Out Continuous\n",
    " AL=n      - Alpha blending ratio (0 to 64).\n",
    " TR=ON|OFF - Transparency.\n",
    " TC=color  - Transparency key color.\n",
    "\n",
    " Examples:\n",
    "   WIN                          ' List both windows\n",
    "   WIN V                        ' List both windows as WIN commands\n",
    "   WIN MAIN SA=0 F=1            ' Main window at 0 in RGB 565\n",
    "   WIN PIP SA=20000 W=A0 H=78   ' PIP window of 160x120 at 20000h\n",
    " Note: a window register is only accessed when its parameter is given.\n",
};

// Which settings a WIN command gives.
enum WinGiven : uint32_t {
    kGivenStart = 1,
    kGivenTrans = 2,
    kGivenFormat = 4,
    kGivenRotation = 8,
    kGivenWidth = 0x10,
    kGivenHeight = 0x20,
    kGivenX = 0x40,
    kGivenY = 0x80,
    kGivenPeriod = 0x100,
    kGivenEffect = 0x200,
    kGivenAlpha = 0x400,
    kGivenKey = 0x800,
};

// The value text of word when it is key followed by "=" or ":"; nullptr otherwise.
const char* OptionValue(const char* word, const char* key) {
    const size_t length = std::strlen(key);
    if (CompareNoCase(word, key, length) != 0 || (word[length] != '=' && word[length] != ':')) {
        return nullptr;
    }
    return word + length + 1;
}

bool Decimal(const char* text, uint32_t limit, uint32_t* value) {
    return *text != '\0' && ParseNumber(text, 10, value) == 0 && *value < limit;
}

struct WinRequest {
    WindowSettings Settings{};
    uint32_t Given = 0;
    bool Transparent = false;
};

// A limited decimal option: its bit, key, limit and error text.
struct DecimalOption {
    const char* Key;
    uint32_t Limit;
    uint32_t Bit;
    const char* Error;
};

constexpr DecimalOption kDecimalOptions[] = {
    {"W", 1024, kGivenWidth, "ERROR: '%s' isn't a valid width.\n"},
    {"H", 1024, kGivenHeight, "ERROR: '%s' isn't a valid height.\n"},
    {"X", 1024, kGivenX, "ERROR: '%s' isn't a valid start position.\n"},
    {"Y", 1024, kGivenY, "ERROR: '%s' isn't a valid start position.\n"},
    {"FR", 128, kGivenPeriod, "ERROR: '%s' isn't a valid blink/fade period.\n"},
    {"FT", 7, kGivenEffect, "ERROR: '%s' isn't a valid blink/fade effect.\n"},
    {"AL", 65, kGivenAlpha, "ERROR: '%s' isn't a valid alpha.\n"},
};

void StoreDecimal(WindowSettings& s, uint32_t bit, uint32_t v) {
    switch (bit) {
    case kGivenWidth:
        s.m_Width = static_cast<uint16_t>(v);
        break;
    case kGivenHeight:
        s.m_Height = static_cast<uint16_t>(v);
        break;
    case kGivenX:
        s.m_X = static_cast<uint16_t>(v);
        break;
    case kGivenY:
        s.m_Y = static_cast<uint16_t>(v);
        break;
    case kGivenPeriod:
        s.m_BlinkPeriod = static_cast<uint8_t>(v);
        break;
    case kGivenEffect:
        s.m_BlinkEffect = static_cast<uint8_t>(v);
        break;
    default:
        s.m_Alpha = static_cast<uint8_t>(v);
        break;
    }
}

// Parses one word; false after printing its error. *unknown is set for a word WIN does not
// know (reported after all words).
bool ParseWinWord(WinRequest& r, const char* word, bool* unknown) {
    WindowSettings& s = r.Settings;
    uint32_t v = 0;
    if (const char* text = OptionValue(word, "SA")) {
        if (*text == '\0' || ParseNumber(text, 16, &v) != 0 || v > kMaxStartAddr) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid address.\n", word);
        }
        s.m_StartAddr = v;
        r.Given |= kGivenStart;
    } else if (const char* text = OptionValue(word, "TR")) {
        if (!EqualsNoCase(text, "ON") && !EqualsNoCase(text, "OFF")) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't valid.\n", word);
        }
        r.Transparent = EqualsNoCase(text, "ON");
        r.Given |= kGivenTrans;
    } else if (const char* text = OptionValue(word, "F")) {
        if (!Decimal(text, 7, &v) || v == 3) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a color format.\n", word);
        }
        s.m_Format = static_cast<uint8_t>(v);
        r.Given |= kGivenFormat;
    } else if (const char* text = OptionValue(word, "R")) {
        if (!Decimal(text, 271, &v) || v % 90 != 0) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid rotation.\n", word);
        }
        s.m_Rotation = static_cast<uint8_t>(v / 90);
        r.Given |= kGivenRotation;
    } else if (const char* text = OptionValue(word, "TC")) {
        uint32_t kind = 0;
        if (ParseColor(text, 16, &v, &kind) != 0) {
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid color.\n", word);
        }
        s.m_KeyR = static_cast<uint8_t>(v >> 16);
        s.m_KeyG = static_cast<uint8_t>(v >> 8);
        s.m_KeyB = static_cast<uint8_t>(v);
        r.Given |= kGivenKey;
    } else if (EqualsNoCase(word, "MAIN")) {
        s.m_Pip = 0;
    } else if (EqualsNoCase(word, "PIP")) {
        s.m_Pip = 1;
    } else {
        for (const DecimalOption& option : kDecimalOptions) {
            if (const char* text = OptionValue(word, option.Key)) {
                if (!Decimal(text, option.Limit, &v)) {
                    return PlayPrint(CAT_ERR, option.Error, word);
                }
                StoreDecimal(s, option.Bit, v);
                r.Given |= option.Bit;
                return true;
            }
        }
        *unknown = true;
    }
    return true;
}

void WriteWindow(const WinRequest& r) {
    const WindowSettings& s = r.Settings;
    const bool pip = s.m_Pip == 1;
    auto write = [&](uint32_t bit, const char* name, uint32_t value) {
        if ((r.Given & bit) != 0) {
            g_ChipDef.SetFeatureRawValue(name, value);
        }
    };
    write(kGivenKey, "keyr", s.m_KeyR);
    write(kGivenKey, "keyg", s.m_KeyG);
    write(kGivenKey, "keyb", s.m_KeyB);
    write(kGivenFormat, pip ? "pipformat" : "format", s.m_Format);
    write(kGivenRotation, pip ? "piprot" : "rot", s.m_Rotation);
    write(kGivenStart, pip ? "pipsaddr" : "saddr", s.m_StartAddr);
    write(kGivenTrans, "trans", r.Transparent ? 1 : 0);
    // The main window's size follows the panel: W and H set only the PIP window.
    if (pip) {
        write(kGivenWidth, "pipwidth", s.m_Width);
        write(kGivenHeight, "pipheight", s.m_Height);
    }
    write(kGivenEffect, "blinkeffect", s.m_BlinkEffect);
    write(kGivenPeriod, "blinkperiod", s.m_BlinkPeriod);
    write(kGivenAlpha, "alpha", s.m_Alpha);
    write(kGivenX, "pipx", s.m_X);
    write(kGivenY, "pipy", s.m_Y);
}

bool ListWindows() {
    PlayPrint(CAT_OUT, "       SAddr    W    H  F Rot XPos YPos  FR FT  AL TR TColor\n");
    for (uint32_t pip = 0; pip < 2; ++pip) {
        WindowSettings settings;
        char line[kWindowLineSize];
        ReadWindowSettings(&settings, pip);
        FormatWindowLine(&settings, line, pip);
        PlayPrint(CAT_OUT, "%s\n", line);
    }
    return PrintUsageLines(kWinListing);
}

bool ListWindowsAsCommands() {
    WindowSettings m;
    WindowSettings p;
    ReadWindowSettings(&m, 0);
    ReadWindowSettings(&p, 1);
    PlayPrint(CAT_OUT, "win %s SA=%x F=%d R=%d\n", "MAIN", m.m_StartAddr, m.m_Format,
              m.m_Rotation * 90);
    PlayPrint(CAT_OUT, "win %s SA=%x W=%d H=%d F=%d R=%d X=%d Y=%d ", "PIP", p.m_StartAddr,
              p.m_Width, p.m_Height, p.m_Format, p.m_Rotation * 90, p.m_X, p.m_Y);
    PlayPrint(CAT_OUT, "FR=%d FT=%d AL=%d ", p.m_BlinkPeriod, p.m_BlinkEffect, p.m_Alpha);
    PlayPrint(CAT_OUT, "TR=%s TC=%02X%02X%02X \n",
              (p.m_Flags & kWindowTransparent) != 0 ? "on" : "off", p.m_KeyR, p.m_KeyG, p.m_KeyB);
    PlayPrint(CAT_OUT, "\n");
    return true;
}

} // namespace

bool CmdWin(int32_t argc, char** argv, ExprValue*) {
    if (WantsUsage(argc, argv)) {
        PlayPrint(CAT_OUT, "\n %s [MAIN|PIP] [SA=addr] [F=n] [W=n] [H=n] [X=n] [Y=n] [..]\n",
                  UpperAsciiCopy(argv[0]).c_str());
        return PrintUsageLines(kWinUsage);
    }
    if (argc == 1) {
        return ListWindows();
    }
    if (EqualsNoCase(argv[1], "V")) {
        return ListWindowsAsCommands();
    }
    WinRequest request;
    bool unknown = false;
    for (int32_t i = 1; i < argc; ++i) {
        if (!ParseWinWord(request, argv[i], &unknown)) {
            return false;
        }
    }
    if (unknown) {
        return PlayPrint(CAT_ERR, "ERROR: Invalid/missing argument.\n");
    }
    WriteWindow(request);
    return true;
}
