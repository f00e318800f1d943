// ChipDefBase: the long texts about features and registers: a feature's explanation with its
// possible values and the location column beside it, a register's bit map with the
// explanations of its features, and the quick register reference of the whole product. Every
// text is written into a buffer of the caller's capacity and cut there.
#include "chipdef/ChipDefBase.h"
#include "chipdef/TextSink.h"

#include "common/Assert.h"
#include "common/Numbers.h"
#include "common/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool IsNumericType(uint32_t type) {
    return type == FT_NUMB || type == FT_ADDR || type == FT_FREQ;
}

// Lines of a multi-line text: the separator before every line but the first, then the prefix.
class LineWriter {
public:
    LineWriter(TextSink& sink, const char* prefix, const char* separator, bool first)
        : m_Sink(sink), m_Prefix(prefix), m_Separator(separator), m_First(first) {}

    void Start() {
        if (!m_First) {
            m_Sink.Append(m_Separator);
        }
        m_First = false;
        m_Sink.Append(m_Prefix);
    }

private:
    TextSink& m_Sink;
    const char* m_Prefix;
    const char* m_Separator;
    bool m_First;
};

// Walks text in lines of at most width characters, broken at blanks or line ends (dropped).
template <typename Visit> void WrapLines(const char* text, size_t width, Visit visit) {
    const char* rest = text ? text : "";
    const size_t lineWidth = std::max<size_t>(width, 1);
    while (*rest != '\0') {
        size_t length = LineBreakPos(rest, lineWidth);
        const bool atBreak = rest[length] == ' ' || rest[length] == '\n';
        if (length == 0 && !atBreak) {
            length = 1; // always make progress
        }
        visit(std::string(rest, length));
        rest += length;
        if (*rest == ' ' || *rest == '\n') {
            ++rest;
        }
    }
}

// A label cut to width characters and padded with blanks to it.
std::string Cell(const std::string& label, size_t width) {
    std::string cell = label.substr(0, std::min(label.size(), width));
    cell.resize(width, ' ');
    return cell;
}

} // namespace

const char* ChipDefBase::GetLocationColumnLine(uint32_t iFeature, uint32_t width, uint32_t line) {
    (void)width; // the column is kLocColumnWidth characters wide
    if (line == 0) {
        m_LocColumn.clear();
        if (iFeature < m_Features.size()) {
            const ChipFeature& f = m_Features[iFeature];
            const auto add = [this](const char* text) {
                char cell[64];
                std::snprintf(cell, sizeof cell, "%*s  ", static_cast<int>(kLocColumnWidth - 2),
                              text);
                m_LocColumn.emplace_back(cell);
            };
            if (f.Spans) {
                add("Spans Registers");
            } else if (!(f.NeedCode && f.Reg == kNoRegister)) {
                add(GetFeatureLocationText(f.KeyName, kLocBits));
            }
            if (f.Overlap) {
                add("[overlap]");
            }
        }
        m_LocColumn.emplace_back(kLocColumnWidth, ' ');
    }
    if (line < m_LocColumn.size()) {
        return m_LocColumn[line].c_str();
    }
    return m_LocColumn.empty() ? "" : m_LocColumn.back().c_str();
}

void ChipDefBase::GetFeatureExplanation(const char* name, char* buffer, size_t capacity,
                                        const char* prefix, const char* separator, bool withColumn,
                                        uint32_t width) {
    TextSink sink(buffer, capacity);
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return;
    }
    const ChipFeature f = m_Features[i];
    const uint32_t columnWidth = withColumn ? kLocColumnWidth : 0;
    LineWriter lines(sink, prefix, separator, true);
    uint32_t lineNumber = 0;
    const auto line = [&](const std::string& content) {
        lines.Start();
        if (withColumn) {
            sink.Append(GetLocationColumnLine(i, columnWidth, lineNumber));
        }
        ++lineNumber;
        sink.Append(content.c_str());
    };
    const char* key = f.KeyName ? f.KeyName : "";

    line(GetFeatureLocationText(name, kLocName | kLocAccess));
    const size_t wrapWidth = width > columnWidth + 1 ? width - columnWidth - 1 : 1;
    WrapLines(GetPartialBitsNote(name), wrapWidth, line);

    const bool hasRegister = f.Spans || f.Reg != kNoRegister || f.Indexed;
    std::string bits;
    std::string valueText;
    if (f.Spans) {
        ForEachSplitPart(key, [&](uint32_t iPart, uint32_t shift) {
            const char* partText = GetFeatureLocationText(m_Features[iPart].KeyName, 0x12);
            char piece[160];
            if (bits.empty()) {
                std::snprintf(piece, sizeof piece, "%s", partText);
            } else {
                std::snprintf(piece, sizeof piece, " + %s<<%u", partText, shift);
            }
            bits += piece;
        });
    } else if (f.Type != FT_TEXT && f.Type != FT_SEQU) {
        bits = GetFeatureLocationText(name, 0x12);
    }
    if (hasRegister && !f.WriteOnly && f.Type != FT_TEXT && f.Type != FT_SEQU) {
        char number[16];
        std::snprintf(number, sizeof number, "%Xh", GetFeatureRawValue(name));
        valueText = number;
    }

    if (IsNumericType(f.Type)) {
        const auto formula = [&](const std::string& operand) {
            std::string text = "  ";
            text += key;
            text += " = ";
            if (f.Op2) {
                text += "(";
            }
            if (f.Op1 && f.Spans) {
                text += "(";
            }
            text += operand;
            if (f.Op1 && f.Spans) {
                text += ")";
            }
            if (f.Op1) {
                text += ' ';
                text += SpaceBeforeDigits(f.Op1);
            }
            if (f.Op2) {
                text += ") ";
                text += SpaceBeforeDigits(f.Op2);
            }
            return text;
        };
        line(formula(bits));
        if ((f.Spans || f.Op1 || f.Op2) && hasRegister && !f.WriteOnly) {
            line(formula(valueText));
        }
        if (!f.WriteOnly) {
            char text[kTextSize];
            if (hasRegister) {
                std::snprintf(text, sizeof text, "  %s = %Xh (%s)", key, GetFeatureValue(name),
                              GetFeatureText(name, true));
            } else {
                std::snprintf(text, sizeof text, "  %s = %s", key, GetFeatureText(name, true));
            }
            line(text);
        }
    } else if (f.Type == FT_TEXT) {
        line("  " + std::string(key) + " = ");
        const char* shown = GetFeatureText(name, true);
        line("  " + std::string(key) + " = \"" + (shown ? shown : "") + "\"");
    } else if (f.Type == FT_LIST || f.Type == FT_BOOL) {
        line("  " + std::string(key) + " = " + bits);
        if (!f.WriteOnly) {
            char text[kTextSize];
            std::snprintf(text, sizeof text, "  %s = %Xh (%s)", key, GetFeatureRawValue(name),
                          GetFeatureText(name, true));
            line(text);
        }
    } else if (f.Type == FT_SEQU) {
        const char* shown = GetFeatureText(name, true);
        line("  " + std::string(key) + " = " + (shown ? shown : ""));
    }

    if (f.Type != FT_LIST && f.Type != FT_BOOL) {
        return;
    }
    line("Possible Values:");
    if (f.Values.empty()) {
        line("  0h = " + std::string(GetFeatureText(name, true)));
        return;
    }
    uint32_t lo = 0;
    uint32_t hi = 0;
    for (uint32_t n = 0; GetFeatureListEntry(name, n, &lo, &hi); ++n) {
        char range[40];
        if (lo != hi) {
            std::snprintf(range, sizeof range, "  %Xh-%Xh", lo, hi);
        } else {
            std::snprintf(range, sizeof range, "  %Xh", lo);
        }
        const std::string reserved = IsListEntryReserved(name, n) ? " [RESERVED]" : "";
        if (!IsListEntryDirectional(name, n)) {
            line(std::string(range) + " = " + FormatFeatureValue(name, lo, true) + reserved);
            continue;
        }
        const bool writeOnly = IsListEntryWriteOnly(name, n);
        const bool readOnly = IsListEntryReadOnly(name, n);
        if (!writeOnly) {
            line(std::string(range) + " [ON READ]  = " + FormatFeatureValue(name, lo, true) +
                 (readOnly ? reserved : ""));
        }
        if (!readOnly) {
            line(std::string(range) + " [ON WRITE] = " + FormatFeatureValue(name, lo, false) +
                 reserved);
        }
    }
}

char* ChipDefBase::GetRegisterDetailText(uint32_t index, char* buffer, size_t capacity,
                                         bool UseHCLList, const char* prefix, const char* separator,
                                         uint32_t width, bool compact) {
    TextSink sink(buffer, capacity);
    uint32_t row = 0;
    uint32_t regIndex = index;
    const int digits = static_cast<int>(m_DefaultIndexWidth);
    if (!FindRegister(index, UseHCLList, &row, &regIndex)) {
        sink.Format("REG[%0*Xh] does not exist for this chip.", digits, index);
        return buffer;
    }
    const ChipRegister r = m_Registers[row];
    // The features of the register, in table order (with the OVERLAP ones for the texts).
    std::vector<uint32_t> fields;
    std::vector<uint32_t> explained;
    for (uint32_t i = 0; i < m_Features.size(); ++i) {
        const ChipFeature& f = m_Features[i];
        const bool reserved = f.Reserved && IsInSelectedProduct(f.Reserved);
        if (f.Reg != r.Reg || f.Mask == kWholeRegister || !IsInSelectedProduct(f.Product) ||
            (reserved && !m_fShowReserved) || !f.KeyName) {
            continue;
        }
        explained.push_back(i);
        if (!f.Overlap) {
            fields.push_back(i);
        }
    }
    LineWriter lines(sink, prefix, separator, true);
    const auto line = [&](const std::string& content) {
        lines.Start();
        sink.Append(content.c_str());
    };

    if (compact) {
        line(GetRegisterLabel(index, UseHCLList, 0x1B));
        for (uint32_t i : fields) {
            const char* key = m_Features[i].KeyName;
            char text[kTextSize];
            std::snprintf(text, sizeof text, "%*s %s", 10, GetFeatureLocationText(key, 0x14),
                          GetFeatureLocationText(key, 0x19));
            std::string content = text;
            if (!m_Features[i].WriteOnly) {
                content += " = ";
                const char* shown = GetFeatureText(key, true);
                content += shown ? shown : "";
            }
            line(content);
        }
        return buffer;
    }

    const uint32_t bitWidth = std::clamp<uint32_t>(r.BitWidth, 1, 32);
    uint32_t bitsPerRow = std::max<uint32_t>(8, (width > 0 ? (width - 1) / 9 / 8 : 0) * 8);
    const uint32_t rows = bitWidth > bitsPerRow ? bitWidth / bitsPerRow : 1;
    bitsPerRow = bitWidth / rows;

    line(GetRegisterLabel(index, UseHCLList, 0x0B));
    char text[kTextSize];
    const int valueDigits = static_cast<int>(bitWidth / 4);
    if (r.WriteOnly) {
        line("Default=N/A");
    } else {
        std::snprintf(text, sizeof text, "Default=%0*Xh Current=%0*Xh", valueDigits, r.Default,
                      valueDigits, GetRegisterValue(regIndex, false));
        line(text);
    }
    std::string ruler = "+";
    for (uint32_t b = 0; b < bitsPerRow; ++b) {
        ruler += "--------+";
    }
    line(ruler);

    // The field that holds a bit: the first feature of the register whose mask has it.
    const auto fieldAt = [&](uint32_t bit) -> int64_t {
        for (uint32_t i : fields) {
            if (m_Features[i].Mask & (1u << bit)) {
                return i;
            }
        }
        return -1;
    };
    for (uint32_t rowIndex = rows; rowIndex-- > 0;) {
        const uint32_t high = (rowIndex + 1) * bitsPerRow - 1;
        const uint32_t low = rowIndex * bitsPerRow;
        const int64_t topField = fieldAt(high);
        const bool runsOn = high + 1 < bitWidth && topField >= 0 && fieldAt(high + 1) == topField;
        std::string first = runsOn ? ":" : "|";
        std::string second = first;
        std::string numbers = "+";
        for (uint32_t bit = high + 1; bit-- > low;) {
            const int64_t field = fieldAt(bit);
            if (field < 0) {
                first += "::::::::|";
                second += "::::::::|";
            } else {
                uint32_t end = bit; // lowest bit of the run inside this row
                while (end > low && fieldAt(end - 1) == field) {
                    --end;
                }
                const uint32_t k = bit - end + 1;
                const size_t cellWidth = 9 * k - 1;
                const ChipFeature& f = m_Features[static_cast<size_t>(field)];
                const bool fromAbove = bit == high && runsOn;
                const bool reserved = f.Reserved && IsInSelectedProduct(f.Reserved);
                const std::string label = fromAbove ? "" : (reserved ? "RESERVED" : f.KeyName);
                // A long KEYNAME breaks where its first capital stood in the database.
                const size_t split = !reserved && f.CapitalPos > 0 && f.CapitalPos < label.size()
                                         ? f.CapitalPos
                                         : cellWidth;
                const std::string top = label.size() > cellWidth ? label.substr(0, split) : label;
                const std::string bottom = label.size() > cellWidth ? label.substr(split) : "";
                const bool continues = end == low && low > 0 && fieldAt(low - 1) == field;
                const char* closer = continues ? ":" : "|";
                first += Cell(top, cellWidth) + closer;
                second += Cell(bottom, cellWidth) + closer;
                bit = end;
            }
        }
        for (uint32_t bit = high + 1; bit-- > low;) {
            std::snprintf(text, sizeof text, bit < 10 ? "----%u---+" : "---%u---+", bit);
            numbers += text;
        }
        line(first);
        line(second);
        line(numbers);
    }

    for (uint32_t i : explained) {
        const std::string key = m_Features[i].KeyName;
        const auto explain = [&](const char* name) {
            sink.Append(separator);
            sink.Append(separator);
            GetFeatureExplanation(name, sink.End(), sink.Room(), prefix, separator, true, width);
            sink.Advance();
        };
        explain(key.c_str());
        if (IsLastPart(key.c_str())) {
            const char* whole = SplitPartSuffix(key.c_str(), nullptr);
            if (whole && FindFeature(whole, nullptr)) {
                const std::string wholeKey = whole;
                explain(wholeKey.c_str());
            }
        }
    }
    return buffer;
}

char* ChipDefBase::GetQuickReference(char* buffer, size_t capacity, const char* separator,
                                     uint32_t NumTextCols) {
    TextSink sink(buffer, capacity);
    if (!Q3V_ASSERT_TEXT(NumTextCols >= 74, "NumTextCols>=74")) {
        return buffer;
    }
    sink.Format("ORVEX %s Quick Register Reference", GetProductText(nullptr, 0x181));
    sink.Append(separator);
    const std::string indent(kLocColumnWidth, ' ');
    WrapLines("This reference is to be used as a quick reference only. Please refer to the "
              "Hardware Functional Specification for details on each register.",
              NumTextCols - kLocColumnWidth, [&](const std::string& text) {
                  sink.Append(separator);
                  sink.Append((indent + text).c_str());
              });
    for (const ChipRegister& r : m_Registers) {
        const bool reserved = r.Reserved && IsInSelectedProduct(r.Reserved);
        if (r.FakeReg || !IsInSelectedProduct(r.Product) || (reserved && !m_fShowReserved)) {
            continue;
        }
        for (int n = 0; n < 4; ++n) {
            sink.Append(separator);
        }
        GetRegisterDetailText(r.Reg, sink.End(), sink.Room(), false, nullptr, separator,
                              NumTextCols, false);
        sink.Advance();
    }
    sink.Append(separator);
    sink.Append(separator);
    return buffer;
}
