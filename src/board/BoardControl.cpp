#include "board/BoardControl.h"

#include "board/ControlState.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace board {

namespace {

struct PendingFault {
    std::uint32_t Count = 0;
    std::uint32_t Arg = 0;
};
constexpr std::size_t kFaultKinds = 6;

struct Controls {
    std::mutex Mutex; // guards what is not atomic
    std::atomic<std::uint32_t> AbsentMask{0};
    std::atomic<std::uint64_t> DriverVersionPacked{0}; // major, minor, build: one value
    std::atomic<std::uint32_t> SplitSize{0};
    std::atomic<std::uint32_t> LateDelayMs{100};
    std::atomic<std::uint32_t> PllLockReads{0};
    std::atomic<bool> AnyFault{false};
    PendingFault Faults[kFaultKinds];
    std::atomic<bool> MemoryLog{false};
    std::vector<LogEntry> Entries;
    std::FILE* LogFile = nullptr;
    std::atomic<bool> FileLog{false};
};

std::uint64_t Pack(DriverVersion i_Version) {
    return std::uint64_t{i_Version.Major} << 32 | std::uint64_t{i_Version.Minor} << 16 |
           i_Version.Build;
}

bool ParseNumber(std::string_view i_Text, std::uint32_t* o_Value) {
    if (i_Text.empty() || i_Text.size() > 9) {
        return false;
    }
    std::uint32_t value = 0;
    for (char c : i_Text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    *o_Value = value;
    return true;
}

bool ParseVersion(std::string_view i_Text, DriverVersion* o_Version) {
    std::uint32_t parts[3] = {0, 0, 0};
    std::size_t count = 0;
    while (count < 3) {
        const std::size_t dot = i_Text.find('.');
        if (!ParseNumber(i_Text.substr(0, dot), &parts[count]) || parts[count] > 0xFFFF) {
            return false;
        }
        ++count;
        if (dot == std::string_view::npos) {
            break;
        }
        i_Text.remove_prefix(dot + 1);
    }
    if (count < 2) {
        return false;
    }
    *o_Version =
        DriverVersion{static_cast<std::uint16_t>(parts[0]), static_cast<std::uint16_t>(parts[1]),
                      static_cast<std::uint16_t>(parts[2])};
    return true;
}

// Whether a fault is pending, recounted after a change of the faults. Mutex held.
void UpdateAnyFaultLocked(Controls& io_Controls) {
    bool any = false;
    for (const PendingFault& fault : io_Controls.Faults) {
        any = any || fault.Count != 0;
    }
    io_Controls.AnyFault = any;
}

void ClearFaultsLocked(Controls& io_Controls) {
    for (PendingFault& fault : io_Controls.Faults) {
        fault = PendingFault{};
    }
    io_Controls.AnyFault = false;
}

void LoadEnvironment(Controls& io_Controls);
bool ApplyFaultsTo(Controls& io_Controls, std::string_view i_List);

void InjectFaultInto(Controls& io_Controls, Fault i_Fault, std::uint32_t i_Count,
                     std::uint32_t i_Arg) {
    std::lock_guard lock(io_Controls.Mutex);
    const auto kind = static_cast<std::size_t>(i_Fault);
    if (kind >= kFaultKinds) {
        return;
    }
    io_Controls.Faults[kind] = PendingFault{i_Count, i_Arg};
    UpdateAnyFaultLocked(io_Controls);
}

Controls& TheControls() {
    static Controls* s_Controls = [] {
        auto* controls = new Controls; // lives to the end of the process (used at exit too)
        LoadEnvironment(*controls);
        return controls;
    }();
    return *s_Controls;
}

void LoadEnvironment(Controls& io_Controls) {
    std::uint32_t absent = 0;
    if (const char* text = std::getenv("Q3VSIM_ABSENT"); text != nullptr) {
        if (std::string_view(text) == "all") {
            absent = (1u << kBoardCount) - 1;
        } else {
            for (const char* p = text; *p != '\0'; ++p) {
                if (*p >= '0' && *p < static_cast<char>('0' + kBoardCount)) {
                    absent |= 1u << (*p - '0');
                }
            }
        }
    }
    io_Controls.AbsentMask = absent;

    DriverVersion version = kDefaultDriverVersion;
    if (const char* text = std::getenv("Q3VSIM_DRIVER_VERSION"); text != nullptr) {
        if (!ParseVersion(text, &version)) {
            std::fprintf(stderr, "Q3VSIM_DRIVER_VERSION: not understood: %s\n", text);
            version = kDefaultDriverVersion;
        }
    }
    io_Controls.DriverVersionPacked = Pack(version);

    std::uint32_t reads = 0;
    if (const char* text = std::getenv("Q3VSIM_PLL_LOCK_READS"); text != nullptr) {
        if (!ParseNumber(text, &reads)) {
            std::fprintf(stderr, "Q3VSIM_PLL_LOCK_READS: not understood: %s\n", text);
            reads = 0;
        }
    }
    io_Controls.PllLockReads = reads;
    io_Controls.SplitSize = 0;
    io_Controls.LateDelayMs = 100;
    {
        std::lock_guard lock(io_Controls.Mutex);
        ClearFaultsLocked(io_Controls);
        io_Controls.Entries.clear();
        if (io_Controls.LogFile != nullptr) {
            std::fclose(io_Controls.LogFile);
            io_Controls.LogFile = nullptr;
        }
        io_Controls.FileLog = false;
        if (const char* path = std::getenv("Q3VSIM_LOG"); path != nullptr && path[0] != '\0') {
            io_Controls.LogFile = std::fopen(path, "a");
            io_Controls.FileLog = io_Controls.LogFile != nullptr;
        }
    }
    io_Controls.MemoryLog = false;
    if (const char* list = std::getenv("Q3VSIM_FAULTS"); list != nullptr) {
        if (!ApplyFaultsTo(io_Controls, list)) {
            std::fprintf(stderr, "Q3VSIM_FAULTS: not understood: %s\n", list);
        }
    }
}

} // namespace

void SetAbsent(unsigned i_Board, bool i_Absent) {
    if (i_Board >= kBoardCount) {
        return;
    }
    if (i_Absent) {
        TheControls().AbsentMask |= 1u << i_Board;
    } else {
        TheControls().AbsentMask &= ~(1u << i_Board);
    }
}

bool IsAbsent(unsigned i_Board) {
    return i_Board >= kBoardCount || (TheControls().AbsentMask & (1u << i_Board)) != 0;
}

void SetDriverVersion(DriverVersion i_Version) {
    TheControls().DriverVersionPacked = Pack(i_Version);
}

DriverVersion GetDriverVersion() {
    const std::uint64_t packed = TheControls().DriverVersionPacked;
    return DriverVersion{static_cast<std::uint16_t>(packed >> 32),
                         static_cast<std::uint16_t>(packed >> 16),
                         static_cast<std::uint16_t>(packed)};
}

void InjectFault(Fault i_Fault, std::uint32_t i_Count, std::uint32_t i_Arg) {
    InjectFaultInto(TheControls(), i_Fault, i_Count, i_Arg);
}

void ClearFaults() {
    Controls& controls = TheControls();
    std::lock_guard lock(controls.Mutex);
    ClearFaultsLocked(controls);
}

void SetSplitSize(std::uint32_t i_Bytes) {
    TheControls().SplitSize = i_Bytes;
}
std::uint32_t GetSplitSize() {
    return TheControls().SplitSize;
}
void SetLateDelayMs(std::uint32_t i_Ms) {
    TheControls().LateDelayMs = i_Ms;
}
std::uint32_t ReleaseLateReplies() {
    return detail::ReleaseAllLateReplies();
}
void SetPllLockReads(std::uint32_t i_Reads) {
    TheControls().PllLockReads = i_Reads;
}
std::uint32_t GetPllLockReads() {
    return TheControls().PllLockReads;
}

void ResetControls() {
    LoadEnvironment(TheControls());
}

bool ApplyFaultList(std::string_view i_List) {
    return ApplyFaultsTo(TheControls(), i_List);
}

namespace {

bool ApplyFaultsTo(Controls& io_Controls, std::string_view i_List) {
    struct Item {
        std::string_view Name;
        std::string_view Arg;
    };
    std::vector<Item> items;
    while (!i_List.empty()) {
        const std::size_t comma = i_List.find(',');
        std::string_view item = i_List.substr(0, comma);
        i_List = comma == std::string_view::npos ? std::string_view() : i_List.substr(comma + 1);
        if (item.empty()) {
            continue;
        }
        const std::size_t colon = item.find(':');
        items.push_back(Item{item.substr(0, colon), colon == std::string_view::npos
                                                        ? std::string_view()
                                                        : item.substr(colon + 1)});
    }
    // Check every item before applying any.
    struct Action {
        int Kind; // -1 split, -2 driver, else a Fault
        std::uint32_t Value;
        DriverVersion Version;
    };
    std::vector<Action> actions;
    for (const Item& item : items) {
        Action action{0, 1, kDefaultDriverVersion};
        if (item.Name == "split") {
            action.Kind = -1;
            if (!ParseNumber(item.Arg, &action.Value)) {
                return false;
            }
        } else if (item.Name == "driver") {
            action.Kind = -2;
            if (!ParseVersion(item.Arg, &action.Version)) {
                return false;
            }
        } else {
            static constexpr std::string_view kNames[kFaultKinds] = {
                "wrongtype", "noreply", "late", "fail", "overlong", "baddescriptors"};
            std::size_t kind = 0;
            while (kind < kFaultKinds && kNames[kind] != item.Name) {
                ++kind;
            }
            if (kind == kFaultKinds) {
                return false;
            }
            action.Kind = static_cast<int>(kind);
            if (item.Arg == "all") {
                action.Value = kEveryReply;
            } else if (!item.Arg.empty() && !ParseNumber(item.Arg, &action.Value)) {
                return false;
            }
        }
        actions.push_back(action);
    }
    for (const Action& action : actions) {
        if (action.Kind == -1) {
            io_Controls.SplitSize = action.Value;
        } else if (action.Kind == -2) {
            io_Controls.DriverVersionPacked = Pack(action.Version);
        } else {
            InjectFaultInto(io_Controls, static_cast<Fault>(action.Kind), action.Value, 0);
        }
    }
    return true;
}

} // namespace

void EnableLog(bool i_On) {
    TheControls().MemoryLog = i_On;
}
bool LogEnabled() {
    return TheControls().MemoryLog;
}

std::vector<LogEntry> TakeLog() {
    Controls& controls = TheControls();
    std::lock_guard lock(controls.Mutex);
    std::vector<LogEntry> entries;
    entries.swap(controls.Entries);
    return entries;
}

void ClearLog() {
    Controls& controls = TheControls();
    std::lock_guard lock(controls.Mutex);
    controls.Entries.clear();
}

std::string FormatLogEntry(const LogEntry& i_Entry) {
    char head[96];
    std::string line;
    switch (i_Entry.What) {
    case LogEntry::Kind::Out:
    case LogEntry::Kind::In:
        std::snprintf(head, sizeof head, "board %u %s%s %u:", i_Entry.Board,
                      i_Entry.What == LogEntry::Kind::Out ? "OUT" : "IN",
                      i_Entry.Continued ? " continued" : "", i_Entry.Length);
        line = head;
        for (std::uint8_t byte : i_Entry.Bytes) {
            std::snprintf(head, sizeof head, " %02x", byte);
            line += head;
        }
        if (i_Entry.Bytes.size() < i_Entry.Length) {
            line += " ...";
        }
        break;
    case LogEntry::Kind::Interrupt:
        std::snprintf(head, sizeof head, "board %u INTERRUPT 0x%04x", i_Entry.Board, i_Entry.Value);
        line = head;
        break;
    case LogEntry::Kind::Access:
        std::snprintf(head, sizeof head, "board %u %s 0x%06x port %u len %u value 0x%08x%s",
                      i_Entry.Board, i_Entry.Write ? "WRITE" : "READ", i_Entry.Address,
                      i_Entry.Interface, i_Entry.Length, i_Entry.Value,
                      i_Entry.Dropped ? " dropped" : "");
        line = head;
        break;
    }
    return line;
}

namespace detail {

bool TakeFault(Fault i_Fault, std::uint32_t* o_Arg) {
    Controls& controls = TheControls();
    if (!controls.AnyFault) {
        return false;
    }
    std::lock_guard lock(controls.Mutex);
    PendingFault& fault = controls.Faults[static_cast<std::size_t>(i_Fault)];
    if (fault.Count == 0) {
        return false;
    }
    if (fault.Count != kEveryReply) {
        --fault.Count;
    }
    *o_Arg = fault.Arg;
    UpdateAnyFaultLocked(controls);
    return true;
}

bool AnyFault() {
    return TheControls().AnyFault;
}
std::uint32_t SplitSize() {
    return TheControls().SplitSize;
}
std::uint32_t LateDelayMs() {
    return TheControls().LateDelayMs;
}
std::uint32_t PllLockReads() {
    return TheControls().PllLockReads;
}

bool Logging() {
    const Controls& controls = TheControls();
    return controls.MemoryLog || controls.FileLog;
}

void Log(LogEntry&& i_Entry) {
    Controls& controls = TheControls();
    std::lock_guard lock(controls.Mutex);
    if (controls.LogFile != nullptr) {
        const std::string line = FormatLogEntry(i_Entry);
        std::fprintf(controls.LogFile, "%s\n", line.c_str());
        std::fflush(controls.LogFile);
    }
    if (controls.MemoryLog) {
        controls.Entries.push_back(std::move(i_Entry));
    }
}

} // namespace detail

} // namespace board
