#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace vexel::fuzz {

// Reads the fuzzer's bytes as a stream of small decisions. Running out of bytes
// reads zeros, so every input decodes to something.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size) {}

    bool empty() const { return position_ >= size_; }
    std::size_t remaining() const { return empty() ? 0 : size_ - position_; }

    std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }

    // A value in [0, count); 0 when count is 0.
    std::size_t pick(std::size_t count) { return count == 0 ? 0 : byte() % count; }

    bool flag() { return (byte() & 1) != 0; }

    // Mostly timeline-sized halves and quarters, with the edges that break
    // arithmetic: zero, negatives, tiny, huge, infinities and NaN, and now and
    // then eight raw bytes.
    double number() {
        const std::uint8_t selector = byte();
        if (selector < 200) {
            return (static_cast<double>(selector) - 40.0) * 0.25;
        }
        switch (selector) {
        case 200:
            return std::numeric_limits<double>::quiet_NaN();
        case 201:
            return std::numeric_limits<double>::infinity();
        case 202:
            return -std::numeric_limits<double>::infinity();
        case 203:
            return 1e-10;
        case 204:
            return -1e-10;
        case 205:
            return 3600;
        case 206:
            return 3599.999;
        case 207:
            return 1e308;
        case 208:
            return -1e308;
        case 209:
            return std::numeric_limits<double>::denorm_min();
        case 210:
            return 0.1;
        case 211:
            return 1e-9;
        case 212:
            return 100;
        case 213:
            return 360;
        case 214:
            return 1000;
        default: {
            double value = 0;
            unsigned char raw[sizeof value] = {};
            for (auto& b : raw) {
                b = byte();
            }
            std::memcpy(&value, raw, sizeof value);
            return value;
        }
        }
    }

    // One of the given words, or now and then a few raw bytes.
    template <std::size_t N> std::string word(const std::string_view (&words)[N]) {
        const std::size_t choice = pick(N + 1);
        if (choice < N) {
            return std::string(words[choice]);
        }
        return bytes(byte() % 16);
    }

    std::string bytes(std::size_t count) {
        std::string out;
        while (count-- > 0 && !empty()) {
            out.push_back(static_cast<char>(byte()));
        }
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

} // namespace vexel::fuzz
