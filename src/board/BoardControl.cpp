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
constexpr std::size_t kFaultKinds = 8;

struct Controls {
    std::mutex Mutex; // guards what is not atomic
    std::atomic<std::uint32_t> AbsentMask{0};
    std::atomic<std::uint64_t> DriverVersionPacked{0}; // major, minor, build: one value
    std::atomic<std::uint64_t> KernelDriverVersionPacked{0};
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

std::uint64_t Pack(DriverVersion version) {
    return std::uint64_t{version.Major} << 32 | std::uint64_t{version.Minor} << 16 | version.Build;
}

DriverVersion Unpack(std::uint64_t packed) {
    return DriverVersion{static_cast<std::uint16_t>(packed >> 32),
                         static_cast<std::uint16_t>(packed >> 16),
                         static_cast<std::uint16_t>(packed)};
}

bool ParseNumber(std::string_view text, std::uint32_t* valueOut) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    *valueOut = value;
    return true;
}

bool ParseVersion(std::string_view text, DriverVersion* version) {
    std::uint32_t parts[3] = {0, 0, 0};
    std::size_t count = 0;
    while (count < 3) {
        const std::size_t dot = text.find('.');
        if (!ParseNumber(text.substr(0, dot), &parts[count]) || parts[count] > 0xFFFF) {
            return false;
        }
        ++count;
        if (dot == std::string_view::npos) {
            break;
        }
        text.remove_prefix(dot + 1);
    }
    if (count < 2) {
        return false;
    }
    *version =
        DriverVersion{static_cast<std::uint16_t>(parts[0]), static_cast<std::uint16_t>(parts[1]),
                      static_cast<std::uint16_t>(parts[2])};
    return true;
}

// The version a variable gives, or the default when it is unset or not understood (said once).
DriverVersion VersionFromEnvironment(const char* name, DriverVersion fallback) {
    DriverVersion version = fallback;
    if (const char* text = std::getenv(name); text != nullptr && !ParseVersion(text, &version)) {
        std::fprintf(stderr, "%s: not understood: %s\n", name, text);
        version = fallback;
    }
    return version;
}

// Whether a fault is pending, recounted after a change of the faults. Mutex held.
void UpdateAnyFaultLocked(Controls& controls) {
    bool any = false;
    for (const PendingFault& fault : controls.Faults) {
        any = any || fault.Count != 0;
    }
    controls.AnyFault = any;
}

void ClearFaultsLocked(Controls& controls) {
    for (PendingFault& fault : controls.Faults) {
        fault = PendingFault{};
    }
    controls.AnyFault = false;
}

void LoadEnvironment(Controls& controls);
bool ApplyFaultsTo(Controls& controls, std::string_view list);

void InjectFaultInto(Controls& controls, Fault fault, std::uint32_t count, std::uint32_t arg) {
    std::lock_guard lock(controls.Mutex);
    const auto kind = static_cast<std::size_t>(fault);
    if (kind >= kFaultKinds) {
        return;
    }
    controls.Faults[kind] = PendingFault{count, arg};
    UpdateAnyFaultLocked(controls);
}

Controls& TheControls() {
    static Controls* s_Controls = [] {
        auto* controls = new Controls; // lives to the end of the process (used at exit too)
        LoadEnvironment(*controls);
        return controls;
    }();
    return *s_Controls;
}

void LoadEnvironment(Controls& controls) {
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
    controls.AbsentMask = absent;

    controls.DriverVersionPacked =
        Pack(VersionFromEnvironment("Q3VSIM_DRIVER_VERSION", kDefaultDriverVersion));
    controls.KernelDriverVersionPacked =
        Pack(VersionFromEnvironment("Q3VSIM_KDRV_VERSION", kDefaultKernelDriverVersion));

    std::uint32_t reads = 0;
    if (const char* text = std::getenv("Q3VSIM_PLL_LOCK_READS"); text != nullptr) {
        if (!ParseNumber(text, &reads)) {
            std::fprintf(stderr, "Q3VSIM_PLL_LOCK_READS: not understood: %s\n", text);
            reads = 0;
        }
    }
    controls.PllLockReads = reads;
    controls.SplitSize = 0;
    controls.LateDelayMs = 100;
    {
        std::lock_guard lock(controls.Mutex);
        ClearFaultsLocked(controls);
        controls.Entries.clear();
        if (controls.LogFile != nullptr) {
            std::fclose(controls.LogFile);
            controls.LogFile = nullptr;
        }
        controls.FileLog = false;
        if (const char* path = std::getenv("Q3VSIM_LOG"); path != nullptr && path[0] != '\0') {
            controls.LogFile = std::fopen(path, "a");
            controls.FileLog = controls.LogFile != nullptr;
        }
    }
    controls.MemoryLog = false;
    if (const char* list = std::getenv("Q3VSIM_FAULTS"); list != nullptr) {
        if (!ApplyFaultsTo(controls, list)) {
            std::fprintf(stderr, "Q3VSIM_FAULTS: not understood: %s\n", list);
        }
    }
}

} // namespace

void SetAbsent(unsigned board, bool absent) {
    if (board >= kBoardCount) {
        return;
    }
    if (absent) {
        TheControls().AbsentMask |= 1u << board;
    } else {
        TheControls().AbsentMask &= ~(1u << board);
    }
}

bool IsAbsent(unsigned board) {
    return board >= kBoardCount || (TheControls().AbsentMask & (1u << board)) != 0;
}

void SetDriverVersion(DriverVersion version) {
    TheControls().DriverVersionPacked = Pack(version);
}

DriverVersion GetDriverVersion() {
    return Unpack(TheControls().DriverVersionPacked);
}

void SetKernelDriverVersion(DriverVersion version) {
    TheControls().KernelDriverVersionPacked = Pack(version);
}

DriverVersion GetKernelDriverVersion() {
    return Unpack(TheControls().KernelDriverVersionPacked);
}

void InjectFault(Fault fault, std::uint32_t count, std::uint32_t arg) {
    InjectFaultInto(TheControls(), fault, count, arg);
}

void ClearFaults() {
    Controls& controls = TheControls();
    std::lock_guard lock(controls.Mutex);
    ClearFaultsLocked(controls);
}

bool TakeDriverFault(Fault fault) {
    std::uint32_t ignored = 0;
    return detail::TakeFault(fault, &ignored);
}

void SetSplitSize(std::uint32_t bytes) {
    TheControls().SplitSize = bytes;
}
std::uint32_t GetSplitSize() {
    return TheControls().SplitSize;
}
void SetLateDelayMs(std::uint32_t ms) {
    TheControls().LateDelayMs = ms;
}
std::uint32_t ReleaseLateReplies() {
    return detail::ReleaseAllLateReplies();
}
void SetPllLockReads(std::uint32_t reads) {
    TheControls().PllLockReads = reads;
}
std::uint32_t GetPllLockReads() {
    return TheControls().PllLockReads;
}

void ResetControls() {
    LoadEnvironment(TheControls());
}

bool ApplyFaultList(std::string_view list) {
    return ApplyFaultsTo(TheControls(), list);
}

namespace {

bool ApplyFaultsTo(Controls& controls, std::string_view list) {
    struct Item {
        std::string_view Name;
        std::string_view Arg;
    };
    std::vector<Item> items;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
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
                "wrongtype", "noreply",        "late",         "fail",
                "overlong",  "baddescriptors", "drvwritefail", "drvshortaddress"};
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
            controls.SplitSize = action.Value;
        } else if (action.Kind == -2) {
            controls.DriverVersionPacked = Pack(action.Version);
        } else {
            InjectFaultInto(controls, static_cast<Fault>(action.Kind), action.Value, 0);
        }
    }
    return true;
}

} // namespace

void EnableLog(bool on) {
    TheControls().MemoryLog = on;
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

std::string FormatLogEntry(const LogEntry& entry) {
    char head[96];
    std::string line;
    switch (entry.What) {
    case LogEntry::Kind::Out:
    case LogEntry::Kind::In:
        std::snprintf(head, sizeof head, "board %u %s%s %u:", entry.Board,
                      entry.What == LogEntry::Kind::Out ? "OUT" : "IN",
                      entry.Continued ? " continued" : "", entry.Length);
        line = head;
        for (std::uint8_t byte : entry.Bytes) {
            std::snprintf(head, sizeof head, " %02x", byte);
            line += head;
        }
        if (entry.Bytes.size() < entry.Length) {
            line += " ...";
        }
        break;
    case LogEntry::Kind::Interrupt:
        std::snprintf(head, sizeof head, "board %u INTERRUPT 0x%04x", entry.Board, entry.Value);
        line = head;
        break;
    case LogEntry::Kind::Access:
        std::snprintf(head, sizeof head, "board %u %s 0x%06x port %u len %u value 0x%08x%s",
                      entry.Board, entry.Write ? "WRITE" : "READ", entry.Address, entry.Interface,
                      entry.Length, entry.Value, entry.Dropped ? " dropped" : "");
        line = head;
        break;
    }
    return line;
}

namespace detail {

bool TakeFault(Fault fault, std::uint32_t* arg) {
    Controls& controls = TheControls();
    if (!controls.AnyFault) {
        return false;
    }
    std::lock_guard lock(controls.Mutex);
    PendingFault& pending = controls.Faults[static_cast<std::size_t>(fault)];
    if (pending.Count == 0) {
        return false;
    }
    if (pending.Count != kEveryReply) {
        --pending.Count;
    }
    *arg = pending.Arg;
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

void Log(LogEntry&& entry) {
    Controls& controls = TheControls();
    std::lock_guard lock(controls.Mutex);
    if (controls.LogFile != nullptr) {
        const std::string line = FormatLogEntry(entry);
        std::fprintf(controls.LogFile, "%s\n", line.c_str());
        std::fflush(controls.LogFile);
    }
    if (controls.MemoryLog) {
        controls.Entries.push_back(std::move(entry));
    }
}

} // namespace detail

} // namespace board
