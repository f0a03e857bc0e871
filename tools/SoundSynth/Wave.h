#pragma once
// Writing 8-bit unsigned PCM WAVE files, the format the program's
// recordings come in.

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

struct WaveFormat {
    int channels = 1;
    int rate = 22050;
};

// The complete file: RIFF header, "fmt " chunk and "data" chunk of the
// interleaved samples (128 is silence), padded to an even size.
[[nodiscard]] std::vector<std::uint8_t> EncodeWave(const WaveFormat& format,
                                                   const std::vector<std::uint8_t>& samples);

// Writes `bytes` to `path` unless it holds them already; returns false
// with `error` set when it cannot.
[[nodiscard]] bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                             std::string& error);

} // namespace synth
