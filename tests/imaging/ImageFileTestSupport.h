#pragma once
// Helpers of the image-file tests: pictures of random samples, files written and read whole,
// other programs run in a test's folder (ImageMagick, netpbm, GStreamer), a small PNM parser of
// our own for their answers, and a reader call sized by the probe.
#include "imaging/ImageFile.h"

#include "support/FileBytes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace imagetest {

// Samples line by line from the top; Channels 3 (R, G, B) or 1.
struct Picture {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Channels = 3;
    std::vector<uint8_t> Samples;
    bool operator==(const Picture&) const = default;
};

inline Picture RandomPicture(int32_t width, int32_t height, int32_t channels, uint32_t seed) {
    Picture picture{width, height, channels, {}};
    std::mt19937 random(seed);
    picture.Samples.resize(size_t(width) * height * channels);
    for (uint8_t& s : picture.Samples) {
        s = static_cast<uint8_t>(random());
    }
    return picture;
}

using q3vtest::ReadFileBytes;

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// A binary PNM of the picture with maximum value 255, as the test's own source file.
inline void WritePnm(const std::string& path, const Picture& picture) {
    std::vector<uint8_t> bytes =
        Bytes((picture.Channels == 3 ? "P6\n" : "P5\n") + std::to_string(picture.Width) + " " +
              std::to_string(picture.Height) + "\n255\n");
    bytes.insert(bytes.end(), picture.Samples.begin(), picture.Samples.end());
    WriteBytes(path, bytes);
}

// Parses the binary PNM that netpbm writes ("P6"/"P5", one space or line feed between the
// fields, maximum value 255); an empty picture when it is anything else.
inline Picture ParsePnm(const std::vector<uint8_t>& bytes) {
    Picture picture;
    size_t at = 2;
    const auto number = [&]() {
        while (at < bytes.size() && std::isspace(bytes[at])) {
            ++at;
        }
        int64_t value = 0;
        while (at < bytes.size() && std::isdigit(bytes[at])) {
            value = value * 10 + (bytes[at++] - '0');
        }
        return value;
    };
    if (bytes.size() < 3 || bytes[0] != 'P' || (bytes[1] != '6' && bytes[1] != '5')) {
        return picture;
    }
    picture.Channels = bytes[1] == '6' ? 3 : 1;
    picture.Width = int32_t(number());
    picture.Height = int32_t(number());
    if (number() != 255) {
        return Picture{};
    }
    ++at;
    picture.Samples.assign(bytes.begin() + std::ptrdiff_t(std::min(at, bytes.size())), bytes.end());
    return picture;
}

// The test's folder, removed at the end; Run executes a shell command in it.
class ToolFolder {
public:
    std::string Path(const std::string& name) const { return m_Folder.Path() + "/" + name; }
    // Runs command with the folder as working folder and GStreamer's registry inside it.
    bool Run(const std::string& command) const {
        const std::string line = "cd '" + m_Folder.Path() + "' && GST_REGISTRY='" +
                                 Path("gst-registry.bin") + "' " + command + " 2>>tools.log";
        return std::system(line.c_str()) == 0;
    }

private:
    q3vtest::TempFolder m_Folder{"q3v-imagefile"};
};

// A reader's answer: its code and, on success, the buffer it filled.
struct ReadResult {
    IMAGE_ERROR Code = kImageOk;
    unsigned Width = 0;
    unsigned Height = 0;
    std::vector<uint8_t> Bytes;
};

// Probes with probe(&width, &height), sizes a buffer for row (the natural size for a negative
// row, given as naturalBytesPerPixel) and fills it with read(buffer).
template <typename Probe, typename Read>
ReadResult ReadSized(Probe&& probe, Read&& read, int32_t row, uint32_t naturalBytesPerPixel) {
    ReadResult result;
    result.Code = probe(&result.Width, &result.Height);
    if (result.Code != kImageOk) {
        return result;
    }
    Conv conv;
    const int64_t size = row >= 0
                             ? conv.GetImageSize(row, int32_t(result.Width), int32_t(result.Height))
                             : int64_t{naturalBytesPerPixel} * result.Width * result.Height;
    result.Bytes.assign(size_t(size), 0xA5);
    result.Code = read(result.Bytes.data());
    return result;
}

// ReadSized on a file, with the reader its extension names.
inline ReadResult ReadImage(const std::string& path, int32_t row, uint32_t naturalBytesPerPixel,
                            uint32_t flags = 0) {
    const std::string extension = path.substr(path.size() - 4);
    return ReadSized(
        [&](unsigned* width, unsigned* height) {
            return ImageProbe(path.c_str(), width, height, nullptr);
        },
        [&](uint8_t* buffer) {
            if (extension == ".bmp") {
                return ImageReadBmp(path.c_str(), buffer, row, flags);
            }
            if (extension == ".ppm") {
                return ImageReadPpm(path.c_str(), buffer, row, flags);
            }
            return ImageReadPgm(path.c_str(), buffer, row, flags);
        },
        row, naturalBytesPerPixel);
}

// The picture's samples as "ARGB8888.ARGB" bytes (B, G, R, A) with alpha a.
inline std::vector<uint8_t> ToArgb(const Picture& picture, uint8_t alpha) {
    std::vector<uint8_t> out;
    for (size_t p = 0; p < picture.Samples.size(); p += 3) {
        out.insert(out.end(),
                   {picture.Samples[p + 2], picture.Samples[p + 1], picture.Samples[p], alpha});
    }
    return out;
}

} // namespace imagetest
