#pragma once

#include <exception>
#include <string>

namespace vexel {

// Why WaveformExtractor could not read a file's sound. Failures to open the
// file at all are the media layer's own errors and pass through unchanged.
class WaveformExtractorError : public std::exception {
public:
    enum class Kind { cannotCreateReader, readFailed };

    // Both carry the reader's error text or a fixed fallback text.
    static WaveformExtractorError cannotCreateReader(std::string detail);
    static WaveformExtractorError readFailed(std::string detail);

    Kind kind() const { return kind_; }
    const std::string& detail() const { return detail_; }

    // readFailed("Reading did not complete")
    const char* what() const noexcept override { return description_.c_str(); }
    std::string userMessage() const;

private:
    WaveformExtractorError(Kind kind, std::string detail);

    Kind kind_;
    std::string detail_;
    std::string description_;
};

} // namespace vexel
