// FSIZE: the size of a file in 8-, 16- or 32-bit units, as the command's value.
#include "play/ArgParsers.h"
#include "play/FileCmdArgs.h"
#include "play/FileCommands.h"
#include "play/FileWord.h"
#include "play/Output.h"

#include <cstdint>

namespace {

bool PrintFsizeUsage(const char* word) {
    const int stem = static_cast<int>(CommandStemLength(word));
    PlayPrint(CAT_OUT, "\n %*.*s[8|16|32] filename\n\n", stem, stem, word);
    PlayPrint(CAT_OUT, " $var = %*.*s file.txt\n", stem, stem, word);
    PlayPrint(CAT_OUT, " $var = %*.*s file.bin\n", stem, stem, word);
    return PlayPrint(CAT_OUT, " Gets the file size in 8-bit, 16-bit, or 32-bit units.\n");
}

} // namespace

bool CmdFsize(int32_t argc, char** argv, ExprValue* result) {
    if (WantsUsage(argc, argv)) {
        return PrintFsizeUsage(argv[0]);
    }
    if (argc < 2) {
        return PlayPrint(CAT_ERR, "ERROR: Not enough arguments.\n");
    }
    if (argc > 2) {
        return PlayPrint(CAT_ERR, "ERROR: Too many arguments.\n");
    }
    uint32_t unit = 1;
    if (UnitFromCommand(argv[0], 1, &unit) != 0 || unit == 3 || unit > 4) {
        return PlayPrint(CAT_ERR, "ERROR: '%s' isn't a valid command.\n", argv[0]);
    }
    const std::string name = FileNameOfWord(argv[1], FileNumberDigits::kDecimal);
    FILE* file = filecmd::OpenExistingFile(name, "rb");
    if (file == nullptr) {
        return PlayPrint(CAT_ERR, "ERROR: Could not open file '%s' to determine file size.\n",
                         name.c_str());
    }
    const uint64_t length = filecmd::FileLength(file);
    std::fclose(file);
    // The count is a 32-bit value: a larger one is refused, never cut.
    const uint64_t count = length / unit;
    if (count > UINT32_MAX) {
        return PlayPrint(CAT_ERR,
                         "ERROR: The size of '%s' in %u-bit units does not fit in 32 bits.\n",
                         name.c_str(), static_cast<unsigned>(unit * 8));
    }
    if (result != nullptr) {
        result->IsString = 0;
        result->Number = static_cast<uint32_t>(count);
    }
    return true;
}
