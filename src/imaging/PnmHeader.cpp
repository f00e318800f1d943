// The PPM and PGM header.
#include "imaging/PnmHeader.h"

#include "imaging/ImageFileSupport.h"

namespace imagefile {

namespace {

bool IsPnmSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Skips white space and, when asked, comments; returns the first other character (or EOF).
int SkipSpace(FILE* file, bool comments) {
    int c = std::getc(file);
    while (true) {
        if (IsPnmSpace(c)) {
            c = std::getc(file);
        } else if (comments && c == '#') {
            while (c != EOF && c != '\n' && c != '\r') {
                c = std::getc(file);
            }
        } else {
            return c;
        }
    }
}

} // namespace

bool ReadPnmNumber(FILE* file, bool comments, uint32_t limit, uint32_t* value) {
    int c = SkipSpace(file, comments);
    if (c < '0' || c > '9') {
        return false;
    }
    uint64_t number = 0;
    while (c >= '0' && c <= '9') {
        number = number * 10 + uint64_t(c - '0');
        if (number > limit) {
            return false;
        }
        c = std::getc(file);
    }
    // A number ends at white space, a comment or the end of the file.
    if (c != EOF && !IsPnmSpace(c) && !(comments && c == '#')) {
        return false;
    }
    if (c != EOF) {
        std::ungetc(c, file);
    }
    *value = static_cast<uint32_t>(number);
    return true;
}

IMAGE_ERROR ReadPnmHeader(FILE* file, bool gray, PnmHeader* header) {
    const int p = std::getc(file);
    const int kind = std::getc(file);
    const char plainMagic = gray ? '2' : '3';
    const char binaryMagic = gray ? '5' : '6';
    if (p != 'P' || (kind != plainMagic && kind != binaryMagic)) {
        return kImageInvalidHeader;
    }
    header->Plain = kind == plainMagic;
    header->Channels = gray ? 1 : 3;
    const int separator = std::getc(file);
    if (!IsPnmSpace(separator) && separator != '#') {
        return kImageInvalidHeader;
    }
    std::ungetc(separator, file);
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t maxValue = 0;
    if (!ReadPnmNumber(file, true, INT32_MAX, &width) ||
        !ReadPnmNumber(file, true, INT32_MAX, &height) ||
        !ReadPnmNumber(file, true, 65535, &maxValue) || width == 0 || height == 0 ||
        maxValue == 0) {
        return kImageInvalidHeader;
    }
    if (!FitsImageSize(header->Channels, width, height)) {
        return kImageInvalidHeader;
    }
    // Exactly one white-space character separates the header from the samples.
    if (!IsPnmSpace(std::getc(file))) {
        return kImageInvalidHeader;
    }
    header->Width = static_cast<int32_t>(width);
    header->Height = static_cast<int32_t>(height);
    header->MaxValue = maxValue;
    return kImageOk;
}

} // namespace imagefile
