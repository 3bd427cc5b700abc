#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

namespace vexel::testing {

// Writes a 16-bit PCM WAV file piece by piece (the movie writer makes AAC
// only). The sizes in the header are filled in by finish().
class WavWriter {
public:
    WavWriter(const std::filesystem::path& path, int sampleRate, int channelCount)
        : file_(std::fopen(path.c_str(), "wb"))
        , sampleRate_(sampleRate)
        , channelCount_(channelCount) {
        if (!file_) {
            throw std::runtime_error("cannot create " + path.string());
        }
        writeHeader();
    }
    ~WavWriter() {
        if (file_) {
            std::fclose(file_);
        }
    }
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Interleaved samples, little-endian on this machine as in the file.
    void append(std::span<const std::int16_t> samples) {
        if (samples.empty()) {
            return;
        }
        if (std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), file_) !=
            samples.size()) {
            throw std::runtime_error("WAV write failed");
        }
        dataBytes_ += samples.size() * sizeof(std::int16_t);
    }

    void finish() {
        std::fseek(file_, 0, SEEK_SET);
        writeHeader();
        if (std::fclose(std::exchange(file_, nullptr)) != 0) {
            throw std::runtime_error("WAV close failed");
        }
    }

private:
    void writeHeader() {
        auto bytes = [this](const void* data, std::size_t size) {
            std::fwrite(data, 1, size, file_);
        };
        auto u32 = [&](std::uint32_t v) { bytes(&v, 4); };
        auto u16 = [&](std::uint16_t v) { bytes(&v, 2); };
        bytes("RIFF", 4);
        u32(static_cast<std::uint32_t>(36 + dataBytes_));
        bytes("WAVEfmt ", 8);
        u32(16);
        u16(1); // linear PCM
        u16(static_cast<std::uint16_t>(channelCount_));
        u32(static_cast<std::uint32_t>(sampleRate_));
        u32(static_cast<std::uint32_t>(sampleRate_ * channelCount_ * 2));
        u16(static_cast<std::uint16_t>(channelCount_ * 2));
        u16(16);
        bytes("data", 4);
        u32(static_cast<std::uint32_t>(dataBytes_));
    }

    std::FILE* file_;
    int sampleRate_;
    int channelCount_;
    std::uint64_t dataBytes_ = 0;
};

// A whole WAV file at once.
inline void writeWav(const std::filesystem::path& path, int sampleRate, int channelCount,
                     std::span<const std::int16_t> samples) {
    WavWriter writer(path, sampleRate, channelCount);
    writer.append(samples);
    writer.finish();
}

} // namespace vexel::testing
