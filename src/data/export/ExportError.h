#pragma once

#include <exception>
#include <string>

namespace vexel {

// Why an export did not produce its file. Carries no user message: the
// view models that start exports word each case themselves.
class ExportError : public std::exception {
public:
    enum class Kind { exportFailed, readerFailed, writerFailed };

    // Thrown by nothing today; kept for the callers' error mappings.
    static ExportError exportFailed(std::string detail);
    // The composition reader refused to start or did not end completed;
    // carries its status number.
    static ExportError readerFailed(int status);
    // The movie writer refused to start or did not complete; carries its
    // error's description or a fixed fallback.
    static ExportError writerFailed(std::string detail);

    Kind kind() const { return kind_; }
    // The reader's status for readerFailed, else 0.
    int status() const { return status_; }
    // The text of exportFailed and writerFailed, else empty.
    const std::string& detail() const { return detail_; }

    // exportFailed("..."), readerFailed(status: 3), writerFailed(detail: "...")
    const char* what() const noexcept override { return description_.c_str(); }

    friend bool operator==(const ExportError& a, const ExportError& b) {
        return a.kind_ == b.kind_ && a.status_ == b.status_ && a.detail_ == b.detail_;
    }

private:
    ExportError(Kind kind, int status, std::string detail);

    Kind kind_;
    int status_;
    std::string detail_;
    std::string description_;
};

} // namespace vexel
