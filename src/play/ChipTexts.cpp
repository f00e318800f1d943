// The chip definition's texts as Play prints them, taken from g_ChipDef's own calls.
#include "play/ChipTexts.h"

#include "play/PlayChipDef.h"

#include <cstring>
#include <vector>

namespace {

// The explanation and the detail start in one pool text's size and double while they fill it.
constexpr size_t kFirstCapacity = ChipDefBase::kTextSize;
// A bound on the doubling; no text of the database comes near it.
constexpr size_t kMaxCapacity = 4 * 1024 * 1024;

// The text that write(buffer, capacity) leaves in a buffer large enough for all of it. The chip
// library cuts a text at its capacity and keeps it terminated: a text that fills the buffer may
// have been cut, so it is written again into one twice as large.
template <typename Write> std::string GrowingText(Write write) {
    std::vector<char> buffer(kFirstCapacity);
    for (;;) {
        buffer[0] = '\0';
        write(buffer.data(), buffer.size());
        const size_t length = strnlen(buffer.data(), buffer.size());
        if (length + 1 < buffer.size() || buffer.size() >= kMaxCapacity) {
            return std::string(buffer.data(), length);
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}

std::string Text(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace

std::string FeatureLocationText(const char* name, uint32_t flags, ChipDefBase& chip) {
    if (!chip.FindFeature(name, nullptr)) {
        return {};
    }
    return Text(chip.GetFeatureLocationText(name, flags));
}

std::string RegisterLabel(uint32_t index, uint32_t flags) {
    return Text(g_ChipDef.GetRegisterLabel(index, false, flags));
}

std::string FeatureExplanation(const char* name, uint32_t width) {
    if (!g_ChipDef.FindFeature(name, nullptr)) {
        return {};
    }
    return GrowingText([&](char* buffer, size_t capacity) {
        g_ChipDef.GetFeatureExplanation(name, buffer, capacity, nullptr, "\n", false, width);
    });
}

std::string RegisterDetailText(uint32_t index, uint32_t width) {
    return GrowingText([&](char* buffer, size_t capacity) {
        g_ChipDef.GetRegisterDetailText(index, buffer, capacity, false, nullptr, "\n", width,
                                        false);
    });
}
