// The words CMD, OUT and SET of VERBOSE and FLOG, and the report of a mask.
#include "play/MaskWords.h"

#include "common/Text.h"
#include "play/Output.h"

#include <cstring>
#include <string_view>

namespace {

// Applies one of the words CMD, OUT, SET followed by ":" or "=" and ON or OFF (any case) to
// mask; false when the word is none of them.
bool ApplyMaskWord(const char* word, uint32_t* mask) {
    static const struct {
        const char* m_Key;
        uint32_t m_Bit;
    } keys[] = {{"CMD", CAT_CMD}, {"OUT", CAT_OUT}, {"SET", CAT_SET}};
    if (std::strlen(word) < 4 || (word[3] != ':' && word[3] != '=')) {
        return false;
    }
    const std::string_view state = word + 4;
    for (const auto& key : keys) {
        if (!EqualsNoCase({word, 3}, key.m_Key)) {
            continue;
        }
        if (EqualsNoCase(state, "ON")) {
            *mask |= key.m_Bit;
            return true;
        }
        if (EqualsNoCase(state, "OFF")) {
            *mask &= ~key.m_Bit;
            return true;
        }
        return false;
    }
    return false;
}

const char* OnOff(uint32_t mask, uint32_t bit) {
    return (mask & bit) != 0 ? "ON" : "OFF";
}

} // namespace

bool ApplyMaskWords(int32_t argc, char** argv, int32_t first, uint32_t* mask) {
    for (int32_t i = first; i < argc; ++i) {
        if (!ApplyMaskWord(argv[i], mask)) {
            return PlayPrint(CAT_ERR, "ERROR: \"%s\" is unknown.", argv[i]);
        }
    }
    return true;
}

void PrintMask(const char* label, uint32_t mask) {
    PlayPrint(CAT_SET, "%s = CMD:%s OUT:%s SET:%s\n", label, OnOff(mask, CAT_CMD),
              OnOff(mask, CAT_OUT), OnOff(mask, CAT_SET));
}
