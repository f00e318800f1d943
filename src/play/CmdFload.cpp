// FLOAD: reads a raw file, a BMP or PPM picture, a numbered run of them or AVI frames and
// writes them to display memory, a window or a register.
#include "play/AccessRefusals.h"
#include "play/ArgParsers.h"
#include "play/FileCommands.h"
#include "play/FileWord.h"
#include "play/FloadRequest.h"
#include "play/FramePacing.h"
#include "play/MemCmdArgs.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"
#include "play/WindowHelpers.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using filecmd::FileArea;

const char* const kFloadUsage[] = {
    " Reads contents of file and writes to register/memory.\n",
    " Area     - MEM (display memory), MAIN or PIP (the window's start address),\n",
    "            REG (register).\n",
    " F=format - Data format of BMP/PPM/AVI files (def=the window's format).\n",
    " N=nTimes - Number of times to write the length (dec).\n",
    " B=OFF    - Burst mode ON|OFF (def=ON).\n",
    " D=usec   - Delay in microseconds between writes (dec).\n",
    " O=offset - Bytes skipped at the start of the file (hex).\n",
    " T=func   - TE function (0-3); above 0 waits for TE after each frame.\n",
    " LC=lines - TE line count (dec).\n",
    " A=ON     - Load all files of a sequence, or all frames of an AVI.\n",
    " V=frames - Number of files or AVI frames to load (dec, def=1).\n",
    " P=pos    - AVI start frame (dec, def=0).\n",
    " L=loops  - Number of loops (dec, def=1, 0=until a key).\n",
    " R=fps    - Frame rate (dec).\n",
    "\n",
    " Examples:\n",
    "   fload image.bmp main\n",
    "   fload image.bmp mem 0 * f=1\n",
    "   fload vid_frame_0000.bmp pip a=on l=0\n",
    "   fload movie.avi pip v=5 p=100\n",
    "   fload16 fifo.bin reg 12 L1 b=off\n",
    " Notes:\n",
    "   Files other than BMP, PPM and AVI are loaded as raw data.\n",
    "   To load multiple-file sequence (that is not AVI), the filenames must be\n",
    "   *nnnn.fff where [n=0-9] [fff=bmp|ppm|yuv|raw..], example file0000.bmp.\n",
    "   With B=OFF only the first file is opened.\n",
    "   A key ends the transfer.\n",
};

constexpr uint32_t kMaxLineCount = 1024;
constexpr uint32_t kMaxTeFunction = 4;

bool Decimal(const char* text, uint32_t* value, bool positive) {
    return ParseNumber(text, 10, value) == 0 && (!positive || *value != 0);
}

// One option word; false when it is refused (*printed when it printed its own error).
bool TakeOption(const char* word, bool lengthAllowed, FloadRequest& r, bool* printed) {
    const char* v = nullptr;
    if ((v = filecmd::OptionValue(word, "LC")) != nullptr) {
        r.LineCountGiven = true;
        return Decimal(v, &r.LineCount, false) && r.LineCount < kMaxLineCount;
    }
    if (!filecmd::IsOptionWord(word)) {
        if (!lengthAllowed) {
            return false;
        }
        if (word[0] == '*' && word[1] == '\0') {
            r.Length = 0;
            return true;
        }
        uint32_t length = 0;
        // A zero length is refused: nothing could be loaded and no count could follow from it.
        if (ParseEndOperand(word, r.Start, r.Unit, 0, &length) != 0 || length == 0) {
            *printed = true;
            return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid end address or length.\n", word);
        }
        r.Length = length;
        r.LengthWord = word;
        return true;
    }
    if ((v = filecmd::OptionValue(word, "A")) != nullptr) {
        return filecmd::ParseOnOff(v, &r.LoadAll);
    }
    if ((v = filecmd::OptionValue(word, "B")) != nullptr) {
        return filecmd::ParseOnOff(v, &r.Burst);
    }
    if ((v = filecmd::OptionValue(word, "D")) != nullptr) {
        return Decimal(v, &r.Delay, true);
    }
    if ((v = filecmd::OptionValue(word, "F")) != nullptr) {
        return filecmd::ParseFileFormat(v, true, &r.Row);
    }
    if ((v = filecmd::OptionValue(word, "L")) != nullptr) {
        return Decimal(v, &r.Loops, false);
    }
    if ((v = filecmd::OptionValue(word, "N")) != nullptr) {
        return Decimal(v, &r.Times, true);
    }
    if ((v = filecmd::OptionValue(word, "O")) != nullptr) {
        return ParseNumber(v, 16, &r.Offset) == 0;
    }
    if ((v = filecmd::OptionValue(word, "P")) != nullptr) {
        return Decimal(v, &r.Position, false);
    }
    if ((v = filecmd::OptionValue(word, "R")) != nullptr) {
        r.RateGiven = true;
        return Decimal(v, &r.Rate, false);
    }
    if ((v = filecmd::OptionValue(word, "T")) != nullptr) {
        return Decimal(v, &r.TeFunction, false) && r.TeFunction < kMaxTeFunction;
    }
    if ((v = filecmd::OptionValue(word, "V")) != nullptr) {
        return Decimal(v, &r.Frames, true);
    }
    return false;
}

FloadKind KindOfName(const std::string& name) {
    if (filecmd::HasExtension(name, ".BMP")) {
        return FloadKind::kBmp;
    }
    if (filecmd::HasExtension(name, ".PPM")) {
        return FloadKind::kPpm;
    }
    if (filecmd::HasExtension(name, ".AVI")) {
        return FloadKind::kAvi;
    }
    return FloadKind::kRaw;
}

void PrintReport(const FloadRequest& r, uint32_t times) {
    const char* name = r.Name.c_str();
    const int bits = static_cast<int>(r.Unit * 8);
    const uint32_t units = r.Length / r.Unit;
    const char* burst = r.Burst ? "On" : "Off";
    const char* all = r.LoadAll ? "On" : "Off";
    if (r.Area == FileArea::kReg) {
        PlayPrint(CAT_OUT,
                  "%s->Register  Delay=%uus Start=%05Xh Len=%05Xh Data=%d bits\nnTimes=%u "
                  "Offset=%Xh Burst=%s Frames=%u LoadAll=%s\n",
                  name, r.Delay, r.Start, units, bits, times, r.Offset, burst, r.Frames, all);
    } else {
        PlayPrint(CAT_OUT,
                  "%s->Memory  Delay=%uus Start=%05Xh Len=%05Xh Data=%d-bits\nnTimes=%u "
                  "Offset=%Xh Burst=%s Frames=%u LoadAll=%s\n",
                  name, r.Delay, r.Start, units, bits, times, r.Offset, burst, r.Frames, all);
    }
}

// Everything after the arguments: the file is open at the offset. A FileError code.
uint32_t RunFload(FloadRequest& r, FILE* file, std::string* badWord) {
    FloadFrames frames;
    uint32_t code = FindFloadFrames(r, frames, badWord);
    if (code != FILE_ERROR_NONE) {
        return code;
    }
    // "*" takes the whole frame, its last partial unit padded with zeros; a length given is cut
    // to whole units.
    const bool empty = frames.FrameSize == 0;
    if (r.Length == 0) {
        r.Length =
            static_cast<uint32_t>(std::min<uint64_t>(PaddedFrameSize(frames, r.Unit), UINT32_MAX));
    }
    r.Length -= r.Length % r.Unit;
    if (r.Length == 0 && !empty) {
        return FILE_ERROR_READ;
    }
    if (r.Area != FileArea::kReg && !memcmd::InAddressSpace(r.Start, r.Length)) {
        if (r.LengthWord != nullptr) {
            PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid end address or length.\n", r.LengthWord);
        } else {
            PlayPrint(CAT_ERR, "ERROR: '%s' is too large for display memory at %Xh.\n",
                      r.Name.c_str(), r.Start);
        }
        return FILE_ERROR_REPORTED;
    }
    // An empty file, or nothing left after the offset, has nothing to move: the command ends
    // there as it does at the end of the file unit by unit.
    if (empty) {
        PrintReport(r, r.Times != 0 ? r.Times : 1);
        return FILE_ERROR_NONE;
    }
    // N defaults to the number of lengths in a frame, a last shorter one included.
    const uint32_t times = r.Times != 0
                               ? r.Times
                               : static_cast<uint32_t>(std::clamp<uint64_t>(
                                     (frames.FrameSize + r.Length - 1) / r.Length, 1, UINT32_MAX));
    // Bursts send N lengths of each frame: raw data is read no further than that, so a few
    // lengths of a large file do not read the whole of it (a register given one unit takes
    // every frame whole).
    if (r.Burst && r.Kind == FloadKind::kRaw && !TakesWholeFrames(r)) {
        frames.FrameSize = std::min<uint64_t>(frames.FrameSize, uint64_t{times} * r.Length);
    }
    const uint64_t padded = PaddedFrameSize(frames, r.Unit);
    TeFunctionGuard teGuard;
    if (r.TeFunction > 0) {
        if (r.LineCountGiven) {
            g_ChipDef.SetFeatureValue("telinecount", r.LineCount);
        }
        teGuard.Set(r.TeFunction);
    }
    if (!r.Burst) {
        PrintReport(r, times);
        return TransferUnits(r, file, times);
    }
    // Zeroed: the pad of a last partial unit is sent as zeros.
    const uint64_t bytes = padded * r.Frames;
    std::unique_ptr<uint8_t, decltype(&std::free)> buffer(
        bytes != 0 && bytes <= UINT32_MAX ? static_cast<uint8_t*>(std::calloc(bytes, 1)) : nullptr,
        &std::free);
    if (!buffer) {
        return FILE_ERROR_MEMORY;
    }
    code = LoadFloadFrames(r, file, frames, buffer.get());
    if (code != FILE_ERROR_NONE) {
        return code;
    }
    PrintReport(r, times);
    return TransferBursts(r, buffer.get(), padded, times);
}

} // namespace

bool CmdFload(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        const int stem = static_cast<int>(CommandStemLength(argv[0]));
        PlayPrint(CAT_OUT, "\n %*.*s[8|16|32] Filename Area [Start End|Len] [Options..]\n\n", stem,
                  stem, argv[0]);
        return PrintUsageLines(kFloadUsage);
    }
    FloadRequest r;
    r.Area = argc > 2 ? filecmd::ParseFileArea(argv[2], true) : FileArea::kNone;
    const bool window = r.Area == FileArea::kMain || r.Area == FileArea::kPip;
    if (window && argc < 3) {
        return PlayPrint(CAT_ERR, "ERROR: FLOAD requires a minimum of two arguments.\n");
    }
    if (!window && argc < 5) {
        return PlayPrint(CAT_ERR, "ERROR: FLOAD requires a minimum of four arguments.\n");
    }
    if (UnitFromCommand(argv[0], 1, &r.Unit) != 0 || r.Unit == 3 || r.Unit > 4) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid command.\n", argv[0]);
    }
    if (!window && !filecmd::TakeStartWord(argv[3], r.Area, &r.Start)) {
        return false;
    }
    for (int32_t i = window ? 3 : 4; i < argc; ++i) {
        bool printed = false;
        if (!TakeOption(argv[i], i == 4, r, &printed)) {
            return printed ? false : filecmd::ReportFileError(FILE_ERROR_ENTRY, argv[i]);
        }
    }
    // The program's own memory is not offered here.
    if (r.Area == FileArea::kNone || r.Area == FileArea::kSys) {
        return filecmd::ReportFileError(FILE_ERROR_ENTRY, argv[2]);
    }
    // A register is written in bursts at the start, or unit by unit from the start on (the index
    // moves on by the unit, so every index has the start's parity).
    if (r.Area == FileArea::kReg &&
        RefusalReported(RegAccessRefusal(r.Burst ? RegAccess::BurstWrite : RegAccess::Write,
                                         r.Unit * 8, r.Start))) {
        return false;
    }
    r.Name = FileNameOfWord(argv[1]);
    r.Kind = KindOfName(r.Name);
    if (!r.Burst && (r.LoadAll || r.Frames > 1)) {
        PlayPrint(CAT_OUT,
                  "WARNING: Only 1 file is opened when B=OFF. 'A=ON' or 'V=%d' are ignored.\n",
                  static_cast<int>(r.Frames));
        r.LoadAll = false;
        r.Frames = 1;
    }
    if (window) {
        r.Start = GetWindowStartAddr(r.Area == FileArea::kPip ? 1 : 0);
    }
    if (r.Kind != FloadKind::kRaw && r.Row < 0 &&
        (!window || !GetWindowFormatRow(r.Area == FileArea::kPip ? 1 : 0, &r.Row))) {
        return filecmd::ReportFileError(FILE_ERROR_FORMAT, nullptr);
    }
    FILE* file = filecmd::OpenExistingFile(r.Name, "rb");
    if (file == nullptr) {
        return filecmd::ReportFileError(FILE_ERROR_OPEN, nullptr);
    }
    std::unique_ptr<FILE, decltype(&std::fclose)> closer(file, &std::fclose);
    if (filecmd::FileLength(file) < r.Offset ||
        std::fseek(file, static_cast<long>(r.Offset), SEEK_SET) != 0) {
        return PlayPrint(
            CAT_ERR, "ERROR: Reached end of file before starting offset %Xh reached.\n", r.Offset);
    }
    std::string badWord;
    const uint32_t code = RunFload(r, file, &badWord);
    return filecmd::ReportFileError(code, badWord.c_str());
}
