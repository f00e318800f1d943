// FDUMP: writes display memory or registers to a raw file, or display memory to a PPM or PGM
// picture, once or N times.
#include "hcl/HclApi.h"
#include "hcl/Services.h"
#include "imaging/ImageFile.h"
#include "platform/BoardFiles.h"
#include "play/AccessRefusals.h"
#include "play/ArgParsers.h"
#include "play/FileCmdArgs.h"
#include "play/FileCommands.h"
#include "play/FileWord.h"
#include "play/MemCmdArgs.h"
#include "play/MemWidth.h"
#include "play/Output.h"
#include "play/PlayConv.h"
#include "play/WindowHelpers.h"

#include <cstdlib>
#include <strings.h>

namespace {

using filecmd::FileArea;

const char* const kFdumpUsage[] = {
    " Writes register or memory contents to file.\n",
    " Area        - MEM (display memory) or REG (registers).\n",
    " A=ON     - Append to file (def=OFF).\n",
    " B=OFF    - Burst mode ON|OFF (def=ON).\n",
    " N=nTimes - Number of times to repeat writing data (dec).\n",
    " D=usec   - Delay in microseconds between reads (dec).\n",
    " W=pixels - Width. Required if file=PPM|PGM (dec).\n",
    " H=lines  - Height. Required if file=PPM|PGM (dec).\n",
    " F=format - Data format. Required if file=PPM|PGM.\n",
    "\n",
    " Examples:\n",
    "   fdump8 memory.bin mem 0 L10000       ' 64 KiB of display memory\n",
    "   fdump a.ppm mem 0 L25800 w=320 h=240 f=1\n",
    "   fdump f.bin reg 123 L1 N=16t D=10    ' register 123 sixteen times\n",
    " Notes:\n",
    "   The file name NUL reads the data and stores nothing.\n",
    "   PPM and PGM files need burst mode.\n",
};

struct FdumpRequest {
    uint32_t Unit = 1;
    uint32_t Start = 0;
    uint32_t Length = 1;
    const char* LengthWord = nullptr; // the End|Len word, when given
    const char* WidthWord = nullptr;
    bool Append = false;
    bool Burst = true;
    uint32_t Delay = 0;
    int32_t Row = -1;
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t Times = 1;
    FileArea Area = FileArea::kNone;
    std::string Name;
    bool Discard = false; // "NUL": read, store nothing
    bool Ppm = false;
    bool Pgm = false;
};

// A decimal option value above 0.
bool PositiveDecimal(const char* text, uint32_t* value) {
    return ParseNumber(text, 10, value) == 0 && *value != 0;
}

// Options from word 4 on. *badWord gets the refused word.
bool ParseOptions(int32_t argc, char** argv, FdumpRequest& r, const char** badWord) {
    for (int32_t i = 4; i < argc; ++i) {
        const char* word = argv[i];
        *badWord = word;
        const char* value = nullptr;
        if (!filecmd::IsOptionWord(word)) {
            if (i != 4) {
                return false;
            }
            uint32_t length = 0;
            if (ParseEndOperand(word, r.Start, r.Unit, 1, &length) != 0 ||
                !memcmd::InAddressSpace(r.Start, length)) {
                *badWord = nullptr;
                return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid end address or length.\n",
                                 word);
            }
            r.Length = length;
            r.LengthWord = word;
        } else if ((value = filecmd::OptionValue(word, "A")) != nullptr) {
            if (!filecmd::ParseOnOff(value, &r.Append)) {
                return false;
            }
        } else if ((value = filecmd::OptionValue(word, "B")) != nullptr) {
            if (!filecmd::ParseOnOff(value, &r.Burst)) {
                return false;
            }
        } else if ((value = filecmd::OptionValue(word, "D")) != nullptr) {
            if (!PositiveDecimal(value, &r.Delay)) {
                return false;
            }
        } else if ((value = filecmd::OptionValue(word, "F")) != nullptr) {
            if (!filecmd::ParseFileFormat(value, false, &r.Row)) {
                return false;
            }
        } else if ((value = filecmd::OptionValue(word, "H")) != nullptr) {
            if (!PositiveDecimal(value, &r.Height)) {
                return false;
            }
        } else if ((value = filecmd::OptionValue(word, "N")) != nullptr) {
            if (!PositiveDecimal(value, &r.Times)) {
                return false;
            }
        } else if ((value = filecmd::OptionValue(word, "W")) != nullptr) {
            if (!PositiveDecimal(value, &r.Width)) {
                return false;
            }
            r.WidthWord = word;
        } else {
            return false;
        }
    }
    return true;
}

// Stores one read of the area: the picture, or units appended to the raw file.
uint32_t StoreBuffer(const FdumpRequest& r, FILE* file, const uint8_t* buffer) {
    if (r.Discard) {
        return FILE_ERROR_NONE;
    }
    if (r.Ppm || r.Pgm) {
        const IMAGE_ERROR code =
            r.Ppm ? ImageWritePpm(r.Name.c_str(), buffer, r.Row, 0, r.Width, r.Height)
                  : ImageWritePgm(r.Name.c_str(), buffer, r.Row, 0, r.Width, r.Height);
        if (code != kImageOk) {
            PlayPrint(CAT_ERR, "ERROR: %s\n", ImageErrorText(code));
            return FILE_ERROR_REPORTED;
        }
        return FILE_ERROR_NONE;
    }
    const uint32_t units = r.Length / r.Unit;
    return std::fwrite(buffer, r.Unit, units, file) == units ? FILE_ERROR_NONE : FILE_ERROR_WRITE;
}

void BurstReadMemory(uint32_t address, uint8_t* buffer, uint32_t unit, uint32_t units) {
    if (unit == 4) {
        oxHclBurstReadMemory32(address, reinterpret_cast<uint32_t*>(buffer), units);
    } else if (unit == 2) {
        oxHclBurstReadMemory16(address, reinterpret_cast<uint16_t*>(buffer), units);
    } else {
        oxHclBurstReadMemory8(address, buffer, units);
    }
}

// Register bursts of 8 and 16 bits; the layer has none of 32 bits and says so itself.
bool BurstReadRegister(uint32_t index, uint8_t* buffer, uint32_t unit, uint32_t units) {
    if (unit == 4) {
        oxHclBurstReadReg32(index, reinterpret_cast<uint32_t*>(buffer), units);
        PlayPrint(CAT_ERR, "\n");
        return false;
    }
    if (unit == 2) {
        oxHclBurstReadReg16(index, reinterpret_cast<uint16_t*>(buffer), units);
    } else {
        oxHclBurstReadReg8(index, buffer, units);
    }
    return true;
}

void Delay(uint32_t microseconds) {
    if (microseconds != 0) {
        oxDelayUs(microseconds);
    }
}

// Unit by unit, N times: memory at start + i x unit, or register start + i x unit.
uint32_t DumpUnits(const FdumpRequest& r, FILE* file) {
    const uint32_t units = r.Length / r.Unit;
    for (uint32_t n = 0; n < r.Times; ++n) {
        for (uint32_t i = 0; i < units; ++i) {
            const uint32_t at = r.Start + i * r.Unit;
            const uint32_t value = r.Area == FileArea::kReg ? ReadRegByBits(r.Unit * 8, at)
                                                            : ReadMemByWidth(at, r.Unit);
            if (!r.Discard && !filecmd::AppendUnit(file, value, r.Unit)) {
                return FILE_ERROR_WRITE;
            }
            Delay(r.Delay);
        }
    }
    return FILE_ERROR_NONE;
}

// One buffer of the area, read in bursts and stored N times; a register read N times in one
// burst when the length is one unit and no delay is asked for.
uint32_t DumpBursts(const FdumpRequest& r, FILE* file) {
    const bool registerRun = r.Area == FileArea::kReg;
    const uint64_t bytes =
        registerRun ? static_cast<uint64_t>(r.Times) * r.Unit : static_cast<uint64_t>(r.Length);
    uint8_t* buffer = bytes <= UINT32_MAX ? static_cast<uint8_t*>(std::malloc(bytes)) : nullptr;
    if (buffer == nullptr) {
        return FILE_ERROR_MEMORY;
    }
    uint32_t code = FILE_ERROR_NONE;
    if (registerRun) {
        if (!BurstReadRegister(r.Start, buffer, r.Unit, r.Times)) {
            code = FILE_ERROR_REPORTED;
        } else if (!r.Discard && std::fwrite(buffer, r.Unit, r.Times, file) != r.Times) {
            code = FILE_ERROR_WRITE;
        }
    } else {
        for (uint32_t n = 0; n < r.Times && code == FILE_ERROR_NONE; ++n) {
            BurstReadMemory(r.Start, buffer, r.Unit, r.Length / r.Unit);
            code = StoreBuffer(r, file, buffer);
            Delay(r.Delay);
        }
    }
    std::free(buffer);
    return code;
}

// The checks of a picture file before anything is opened: its sizes, burst mode, an area that
// reads into one buffer, and a length that holds the whole picture.
bool CheckPicture(FdumpRequest& r, char** argv, uint32_t* code, const char** badWord) {
    if (r.Width == 0 || r.Height == 0 || r.Row < 0) {
        return PlayPrint(CAT_ERR,
                         "ERROR: Width, height and format must be specified for PPM/PGM file.\n");
    }
    if (!r.Burst) {
        return PlayPrint(CAT_ERR, "ERROR: Burst mode must be enabled for PPM/PGM file.\n");
    }
    if (r.Area != FileArea::kMem) {
        *code = FILE_ERROR_ENTRY;
        *badWord = argv[2];
        return false;
    }
    const int64_t size = QueryConv().GetImageSize(r.Row, static_cast<int32_t>(r.Width),
                                                  static_cast<int32_t>(r.Height));
    if (size <= 0 || static_cast<uint64_t>(size) > r.Length) {
        *code = FILE_ERROR_ENTRY;
        *badWord = r.LengthWord != nullptr ? r.LengthWord : r.WidthWord;
        return false;
    }
    return true;
}

void PrintReport(const FdumpRequest& r) {
    const char* name = r.Name.c_str();
    const uint32_t units = r.Length / r.Unit;
    if (r.Area == FileArea::kReg) {
        PlayPrint(CAT_OUT, "Register->%s  Start=%05Xh Len=%05Xh Data=%d bits\nnTimes=%u\n", name,
                  r.Start, units, static_cast<int>(r.Unit * 8), r.Times);
    } else {
        PlayPrint(CAT_OUT, "Memory->%s  Delay=%uus Start=%05Xh Len=%05Xh Data=%d bits\nnTimes=%u\n",
                  name, r.Delay, r.Start, units, static_cast<int>(r.Unit * 8), r.Times);
    }
}

} // namespace

bool CmdFdump(int32_t argc, char** argv, ExprValue* /*result*/) {
    if (WantsUsage(argc, argv)) {
        const int stem = static_cast<int>(CommandStemLength(argv[0]));
        PlayPrint(CAT_OUT, "\n %*.*s[8|16|32] Filename Area Start [End|Len] [Options..]\n\n", stem,
                  stem, argv[0]);
        return PrintUsageLines(kFdumpUsage);
    }
    if (argc < 5) {
        return PlayPrint(CAT_ERR, "ERROR: FDUMP requires a minimum of four arguments.\n");
    }
    FdumpRequest r;
    if (UnitFromCommand(argv[0], 1, &r.Unit) != 0 || r.Unit == 3 || r.Unit > 4) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid command.\n", argv[0]);
    }
    r.Length = r.Unit;
    r.Area = filecmd::ParseFileArea(argv[2], false);
    if (!filecmd::TakeStartWord(argv[3], r.Area, &r.Start)) {
        return false;
    }
    const char* badWord = nullptr;
    if (!ParseOptions(argc, argv, r, &badWord)) {
        return badWord != nullptr && filecmd::ReportFileError(FILE_ERROR_ENTRY, badWord);
    }
    // The program's own memory is not offered here.
    if (r.Area == FileArea::kNone || r.Area == FileArea::kSys) {
        return filecmd::ReportFileError(FILE_ERROR_ENTRY, argv[2]);
    }
    if (r.Area == FileArea::kMem && !memcmd::InAddressSpace(r.Start, r.Length)) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid start address.\n", argv[3]);
    }
    // Memory is read in bursts; a register in one burst when one unit of it is dumped at once,
    // else unit by unit from the start on (the index moves on by the unit, so every index has the
    // start's parity). A register access the interface refuses is refused before the file is made.
    const bool oneRegister = r.Area == FileArea::kReg && r.Length == r.Unit && r.Delay == 0;
    const bool inBursts = r.Burst && (r.Area == FileArea::kMem || oneRegister);
    if (r.Area == FileArea::kReg &&
        RefusalReported(RegAccessRefusal(inBursts ? RegAccess::BurstRead : RegAccess::Read,
                                         r.Unit * 8, r.Start))) {
        return false;
    }
    r.Name = FileNameOfWord(argv[1]);
    r.Discard = strcasecmp(r.Name.c_str(), "NUL") == 0;
    if (!r.Discard && IsBoardFile(r.Name)) {
        return filecmd::ReportFileError(FILE_ERROR_OPEN, nullptr); // the board's own file
    }
    r.Ppm = filecmd::HasExtension(r.Name, ".PPM");
    r.Pgm = filecmd::HasExtension(r.Name, ".PGM");
    uint32_t code = FILE_ERROR_NONE;
    if ((r.Ppm || r.Pgm) && !CheckPicture(r, argv, &code, &badWord)) {
        return filecmd::ReportFileError(code == FILE_ERROR_NONE ? FILE_ERROR_REPORTED : code,
                                        badWord);
    }
    FILE* file = nullptr;
    if (!r.Discard && !r.Ppm && !r.Pgm) {
        file = std::fopen(r.Name.c_str(), r.Append ? "a+b" : "wb");
        if (file == nullptr) {
            return filecmd::ReportFileError(FILE_ERROR_OPEN, nullptr);
        }
    }
    PrintReport(r);
    if (inBursts) {
        code = DumpBursts(r, file);
    } else {
        code = DumpUnits(r, file);
    }
    if (file != nullptr && std::fclose(file) != 0 && code == FILE_ERROR_NONE) {
        code = FILE_ERROR_WRITE;
    }
    return filecmd::ReportFileError(code, nullptr);
}
