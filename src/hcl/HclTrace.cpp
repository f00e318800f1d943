// The /debug: trace: records of the front's accesses and the replayable log written at exit.

#include "hcl/HclTrace.h"

#include "platform/BoardFiles.h"
#include "platform/PathCase.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace {

// One recorded event.
struct TraceRecord {
    std::uint32_t Code;
    std::uint32_t Count; // how many times this event happened in a row
    std::uint32_t Value; // the value read or written; for bursts the element count
    std::uint32_t Index; // register index or memory address
    std::uint32_t Extra1;
    std::uint32_t Extra2;
    std::uint32_t Fill;              // elements of a fill (codes 31-33); 0 for a single write
    std::vector<std::uint32_t> Data; // the elements of a burst write
};

struct TraceState {
    std::mutex Lock;
    // Read by every front call: kept apart from the lock.
    std::atomic<std::uint32_t> Flags{0};
    bool Started = false;
    std::string FileName = oxHCL_DEFAULT_DEBUG_LOG;
    std::vector<TraceRecord> Records;
};

// Never destroyed: the poll thread may still use it while the program ends.
TraceState& State() {
    static auto* s_State = new TraceState;
    return *s_State;
}

// Bytes of one element of an event code (8-, 16- or 32-bit family member).
std::uint32_t WidthOfCode(std::uint32_t code) {
    // Families of three start at 1, 4, 7, ... 43: their members are 8, 16 and 32 bits.
    switch ((code - 1) % 3) {
    case 0:
        return 1;
    case 1:
        return 2;
    default:
        return 4;
    }
}

std::uint32_t LoadElement(const void* data, std::uint32_t width, std::uint32_t element) {
    const auto* bytes = static_cast<const unsigned char*>(data) + std::size_t(element) * width;
    switch (width) {
    case 1:
        return *bytes;
    case 2: {
        std::uint16_t v;
        std::memcpy(&v, bytes, 2);
        return v;
    }
    default: {
        std::uint32_t v;
        std::memcpy(&v, bytes, 4);
        return v;
    }
    }
}

bool IsBurstCode(std::uint32_t code) {
    return (code >= oxTRACE_BURST_READ_REG8 && code <= oxTRACE_BURST2_WRITE_REG32) ||
           (code >= oxTRACE_BURST_READ_MEM8 && code <= oxTRACE_BURST_READ_MEM32) ||
           (code >= oxTRACE_BURST_WRITE_MEM8 && code <= oxTRACE_BURST_WRITE_MEM32);
}

bool IsMemoryBurstWrite(std::uint32_t code) {
    return code >= oxTRACE_BURST_WRITE_MEM8 && code <= oxTRACE_BURST_WRITE_MEM32;
}

bool IsRegisterBurstWrite(std::uint32_t code) {
    return (code >= oxTRACE_BURST_WRITE_REG8 && code <= oxTRACE_BURST_WRITE_REG32) ||
           (code >= oxTRACE_BURST2_WRITE_REG8 && code <= oxTRACE_BURST2_WRITE_REG32);
}

// The single-access code that one element of a burst becomes.
std::uint32_t ElementCode(std::uint32_t code) {
    const std::uint32_t lane = (code - 1) % 3;
    if (code <= oxTRACE_BURST_READ_REG32 ||
        (code >= oxTRACE_BURST2_READ_REG8 && code <= oxTRACE_BURST2_READ_REG32)) {
        return oxTRACE_READ_REG8 + lane;
    }
    if (code <= oxTRACE_BURST2_WRITE_REG32) {
        return oxTRACE_WRITE_REG8 + lane;
    }
    if (code <= oxTRACE_BURST_READ_MEM32) {
        return oxTRACE_READ_MEM8 + lane;
    }
    return oxTRACE_WRITE_MEM8 + lane;
}

// Appends a record, or counts the last one again when it is the same event. Lock held.
void Append(TraceState& s, std::uint32_t code, std::uint32_t index, std::uint32_t value,
            std::uint32_t fill, std::uint32_t extra1, std::uint32_t extra2) {
    if (!s.Records.empty()) {
        TraceRecord& last = s.Records.back();
        if (last.Code == code && last.Index == index && last.Value == value && last.Fill == fill &&
            last.Data.empty() && last.Count != 0xFFFFFFFF) {
            ++last.Count;
            return;
        }
    }
    s.Records.push_back(TraceRecord{code, 1, value, index, extra1, extra2, fill, {}});
}

// Records one event with the lock held; false when memory runs out.
bool Record(TraceState& s, std::uint32_t code, std::uint32_t index, std::uint32_t value,
            const void* data, std::uint32_t extra1, std::uint32_t extra2) {
    try {
        if (IsBurstCode(code)) {
            const std::uint32_t width = WidthOfCode(code);
            if ((s.Flags & oxHCL_TRACE_EXPAND) != 0 && data != nullptr) {
                // One event per element: register bursts go to one index, memory bursts walk
                // through the memory, so a replay puts every element where it went.
                const bool memory = code >= oxTRACE_BURST_READ_MEM8;
                const std::uint32_t elementCode = ElementCode(code);
                for (std::uint32_t i = 0; i < value; ++i) {
                    const std::uint32_t elementIndex = memory ? index + i * width : index;
                    Append(s, elementCode, elementIndex, LoadElement(data, width, i), 0, 0, 0);
                }
                return true;
            }
            TraceRecord record{code, 1, value, index, extra1, extra2, 0, {}};
            if ((IsMemoryBurstWrite(code) || IsRegisterBurstWrite(code)) && data != nullptr) {
                // The data is kept, so the log can write it again.
                record.Data.resize(value);
                for (std::uint32_t i = 0; i < value; ++i) {
                    record.Data[i] = LoadElement(data, width, i);
                }
            }
            s.Records.push_back(std::move(record));
            return true;
        }
        if (code >= oxTRACE_RECT_READ_MEM8) {
            // Rectangle events carry their geometry and never coalesce.
            s.Records.push_back(TraceRecord{code, 1, value, index, extra1, extra2, 0, {}});
            return true;
        }
        Append(s, code, index, value, 0, extra1, extra2);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

unsigned long UL(std::uint32_t v) {
    return v;
}
unsigned long long End(std::uint32_t start, std::uint32_t count) {
    // The end address of a burst line: the start plus the element count.
    return static_cast<unsigned long long>(start) + count;
}

const char* const kBits[3] = {"8", "16", "32"};
// Play's command forms of one width: "x8  ", "x16 ", "x32 ".
const char* const kRegCmd[3] = {"x8  ", "x16 ", "x32 "};
// Minimum digits of a value by width, as the log has always shown them.
const int kDigits[3] = {1, 2, 4};

// Writes the data of a memory burst as W commands, 16 elements a line.
void WriteMemoryData(std::FILE* f, const TraceRecord& r, std::uint32_t lane) {
    const std::uint32_t width = 1u << lane;
    const std::size_t n = r.Data.size();
    for (std::size_t i = 0; i < n; i += 16) {
        std::fprintf(f, "w%s %04lX", kBits[lane], UL(r.Index + std::uint32_t(i) * width));
        for (std::size_t k = i; k < n && k < i + 16; ++k) {
            std::fprintf(f, " %0*lX", kDigits[lane], UL(r.Data[k]));
        }
        std::fputc('\n', f);
    }
}

// Writes one record's lines.
// The comment line of a rectangle transfer ("Read" or "Write").
void WriteRectLine(std::FILE* f, const char* direction, const char* bits, const TraceRecord& r) {
    std::fprintf(f,
                 "' %s rect data %s start addr: %04lX, end addr: %04llX, width: %04lX, "
                 "stride: %04lX\n",
                 direction, bits, UL(r.Index), End(r.Index, r.Value), UL(r.Extra1), UL(r.Extra2));
}

// The reason of the failure just met (a stream error without one counts as an I/O error).
int LastError() {
    return errno != 0 ? errno : EIO;
}

void WriteRecord(std::FILE* f, const TraceRecord& r) {
    const std::uint32_t code = r.Code;
    const std::uint32_t lane = code == 0 ? 0 : (code - 1) % 3;
    const char* bits = kBits[lane];
    const int digits = kDigits[lane];
    switch (code) {
    case oxTRACE_NONE:
        return;
    case oxTRACE_READ_REG8:
    case oxTRACE_READ_REG16:
    case oxTRACE_READ_REG32:
        std::fprintf(f, "%s%04lX ' %0*lX\n", kRegCmd[lane], UL(r.Index), digits, UL(r.Value));
        return;
    case oxTRACE_WRITE_REG8:
    case oxTRACE_WRITE_REG16:
    case oxTRACE_WRITE_REG32:
        std::fprintf(f, "%s%04lX %0*lX\n", kRegCmd[lane], UL(r.Index), digits, UL(r.Value));
        return;
    case oxTRACE_SETBITS_REG8:
    case oxTRACE_SETBITS_REG16:
    case oxTRACE_SETBITS_REG32:
    case oxTRACE_CLEARBITS_REG8:
    case oxTRACE_CLEARBITS_REG16:
    case oxTRACE_CLEARBITS_REG32:
    case oxTRACE_MODIFY_REG8:
    case oxTRACE_MODIFY_REG16:
    case oxTRACE_MODIFY_REG32: {
        // The event carries the register's new value: writing it again gives the same state.
        const char* what = code <= oxTRACE_SETBITS_REG32     ? "setbits"
                           : code <= oxTRACE_CLEARBITS_REG32 ? "clearbits"
                                                             : "modify";
        std::fprintf(f, "%s%04lX %0*lX ' %s%s\n", kRegCmd[lane], UL(r.Index), digits, UL(r.Value),
                     what, bits);
        return;
    }
    case oxTRACE_BURST_READ_REG8:
    case oxTRACE_BURST_READ_REG16:
    case oxTRACE_BURST_READ_REG32:
        return;
    case oxTRACE_BURST_WRITE_REG8:
    case oxTRACE_BURST_WRITE_REG16:
    case oxTRACE_BURST_WRITE_REG32:
    case oxTRACE_BURST2_WRITE_REG8:
    case oxTRACE_BURST2_WRITE_REG16:
    case oxTRACE_BURST2_WRITE_REG32:
        std::fprintf(f, "' Burst write %s reg %04lX, %lu times\n", bits, UL(r.Index), UL(r.Value));
        for (std::uint32_t v : r.Data) {
            std::fprintf(f, "%s%04lX %0*lX\n", kRegCmd[lane], UL(r.Index), digits, UL(v));
        }
        return;
    case oxTRACE_BURST2_READ_REG8:
    case oxTRACE_BURST2_READ_REG16:
    case oxTRACE_BURST2_READ_REG32:
        std::fprintf(f, "' Burst read %s reg %04lX, %lu times\n", bits, UL(r.Index), UL(r.Value));
        return;
    case oxTRACE_READ_MEM8:
    case oxTRACE_READ_MEM16:
    case oxTRACE_READ_MEM32:
        std::fprintf(f, "r%s %04lX ' %0*lX\n", bits, UL(r.Index), digits, UL(r.Value));
        return;
    case oxTRACE_WRITE_MEM8:
    case oxTRACE_WRITE_MEM16:
    case oxTRACE_WRITE_MEM32:
        if (r.Fill > 1) {
            std::fprintf(f, "f%s %04lX L%04lXh %01lX\n", bits, UL(r.Index), UL(r.Fill),
                         UL(r.Value));
        } else {
            std::fprintf(f, "w%s %04lX %0*lX\n", bits, UL(r.Index), digits, UL(r.Value));
        }
        return;
    case oxTRACE_BURST_READ_MEM8:
        std::fprintf(f, "' Read data 8 start addr: %04lX, end addr: %04llX\n", UL(r.Index),
                     End(r.Index, r.Value));
        return;
    case oxTRACE_BURST_READ_MEM16:
    case oxTRACE_BURST_READ_MEM32:
        std::fprintf(f, "' Read data %s start addr: %04lX, end addr: %04llX, %lu units\n", bits,
                     UL(r.Index), End(r.Index, r.Value), UL(r.Value));
        return;
    case oxTRACE_RECT_READ_MEM8:
    case oxTRACE_RECT_READ_MEM16:
    case oxTRACE_RECT_READ_MEM32:
        WriteRectLine(f, "Read", bits, r);
        return;
    case oxTRACE_BURST_WRITE_MEM8:
    case oxTRACE_BURST_WRITE_MEM16:
    case oxTRACE_BURST_WRITE_MEM32:
        std::fprintf(f, "' Write data %s start addr: %04lX, end addr: %04llX, %lu units\n", bits,
                     UL(r.Index), End(r.Index, r.Value), UL(r.Value));
        WriteMemoryData(f, r, lane);
        return;
    case oxTRACE_RECT_WRITE_MEM8:
    case oxTRACE_RECT_WRITE_MEM16:
    case oxTRACE_RECT_WRITE_MEM32:
        WriteRectLine(f, "Write", bits, r);
        return;
    default:
        // An unknown code: the log stays a script.
        std::fprintf(f, "' Unknown event %lu at %04lX: %04lX\n", UL(code), UL(r.Index),
                     UL(r.Value));
        return;
    }
}

} // namespace

bool oxHclParseDebugOptions(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    std::uint32_t letters = 0;
    const char* p = text;
    for (; *p != '\0' && *p != ':'; ++p) {
        switch (*p) {
        case 'r':
        case 'R':
            letters |= oxHCL_TRACE_READS;
            break;
        case 'w':
        case 'W':
            letters |= oxHCL_TRACE_WRITES;
            break;
        case 'x':
        case 'X':
            letters |= oxHCL_TRACE_EXPAND;
            break;
        default:
            return false;
        }
    }
    const char* name = *p == ':' ? p + 1 : nullptr;
    return oxHclStartTrace(letters, name);
}

bool oxHclStartTrace(std::uint32_t letters, const char* fileName) {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    try {
        s.FileName =
            (fileName != nullptr && *fileName != '\0') ? fileName : oxHCL_DEFAULT_DEBUG_LOG;
        if (!s.Started) {
            s.Records.clear();
            s.Records.push_back(TraceRecord{oxTRACE_NONE, 1, 0, 0, 0, 0, 0, {}});
            s.Started = true;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    s.Flags |= letters & (oxHCL_TRACE_READS | oxHCL_TRACE_WRITES | oxHCL_TRACE_EXPAND);
    return true;
}

std::uint32_t oxHclGetTraceFlags() {
    return State().Flags.load(std::memory_order_relaxed);
}

bool oxHclIsTracing() {
    return (oxHclGetTraceFlags() & (oxHCL_TRACE_READS | oxHCL_TRACE_WRITES)) != 0;
}

const char* oxHclGetDebugLogName() {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    return s.FileName.c_str();
}

bool oxHclTraceEvent(std::uint32_t code, std::uint32_t index, std::uint32_t value, const void* data,
                     std::uint32_t extra1, std::uint32_t extra2) {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    return Record(s, code, index, value, data, extra1, extra2);
}

bool oxHclTraceFill(std::uint32_t code, std::uint32_t address, std::uint32_t value,
                    std::uint32_t count) {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    try {
        Append(s, code, address, value, count > 1 ? count : 0, 0, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool oxHclWriteDebugLog() {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    if ((s.Flags & (oxHCL_TRACE_READS | oxHCL_TRACE_WRITES)) == 0) {
        return true;
    }
    // The name came from the lower-cased command line: folders and an existing file are found
    // again ignoring case.
    const std::string path = ResolvePathIgnoringCase(s.FileName);
    std::FILE* f = IsBoardFile(path) ? nullptr : std::fopen(path.c_str(), "w");
    if (f == nullptr) {
        std::printf("Error opening debug logfile %s\n", s.FileName.c_str());
        return false;
    }
    // The first failed write's reason is kept: a full disk must not leave a cut log unsaid.
    int error = 0;
    for (const TraceRecord& r : s.Records) {
        WriteRecord(f, r);
        if (r.Count > 1) {
            const std::uint32_t more = r.Count - 1;
            std::fprintf(f, "' Last command repeated %lu more time%s.\n", UL(more),
                         more > 1 ? "s" : "");
        }
        if (std::ferror(f) != 0) {
            error = LastError();
            break;
        }
    }
    if (error == 0 && std::fflush(f) != 0) {
        error = LastError();
    }
    if (std::fclose(f) != 0 && error == 0) {
        error = LastError();
    }
    if (error != 0) {
        std::printf("Error writing debug logfile %s: %s\n", s.FileName.c_str(),
                    std::strerror(error));
        return false;
    }
    return true;
}

unsigned oxHclTraceRecordCount() {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    return static_cast<unsigned>(s.Records.size());
}

void oxHclResetTraceForTesting() {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    s.Flags = 0;
    s.Started = false;
    s.FileName = oxHCL_DEFAULT_DEBUG_LOG;
    s.Records.clear();
}
