#include "Wave.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace synth {

std::vector<std::uint8_t> EncodeWave(const WaveFormat& format,
                                     const std::vector<std::uint8_t>& samples) {
    const auto dataSize = std::uint32_t(samples.size());
    const std::uint32_t pad = dataSize % 2; // RIFF chunks keep even sizes
    std::vector<std::uint8_t> out(44 + dataSize + pad, 128);
    std::size_t at = 0;
    const auto tag = [&](const char(&name)[5]) {
        for (int i = 0; i < 4; ++i)
            out[at++] = std::uint8_t(name[i]);
    };
    const auto number = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out[at++] = std::uint8_t(value >> (8 * i));
    };
    tag("RIFF");
    number(4 + (8 + 16) + (8 + dataSize + pad), 4);
    tag("WAVE");
    tag("fmt ");
    number(16, 4);
    number(1, 2); // uncompressed PCM
    number(std::uint32_t(format.channels), 2);
    number(std::uint32_t(format.rate), 4);
    number(std::uint32_t(format.rate * format.channels), 4); // bytes per second
    number(std::uint32_t(format.channels), 2);               // bytes per frame
    number(8, 2);                                            // bits per sample
    tag("data");
    number(dataSize, 4);
    std::copy(samples.begin(), samples.end(), out.begin() + std::ptrdiff_t(at));
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
               std::string& error) {
    // A file that already holds these bytes keeps its time, so the build
    // need not embed it again.
    std::ifstream old(path, std::ios::binary);
    if (old && std::equal(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>(),
                          bytes.begin(), bytes.end(),
                          [](char a, std::uint8_t b) { return std::uint8_t(a) == b; }))
        return true;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file)
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (file)
        file.close();
    if (!file) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace synth
