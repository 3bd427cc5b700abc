#pragma once

#include "domain/entities/UnavailableMedia.h"

#include <exception>
#include <string>
#include <vector>

namespace vexel {

// Why the export pipeline could not write the movie. Carries no sentence for
// the user: whoever started the export words each case itself.
class ExportError : public std::exception {
public:
    enum class Kind {
        exportFailed, // a general failure, with its text
        readerFailed, // the reader refused to start or did not complete
        writerFailed, // the writer refused to start or did not complete
        // clips whose media files can no longer be read (gone, unmounted):
        // a movie without them would pass for the project
        mediaUnavailable,
    };

    static ExportError exportFailed(std::string detail);
    // `status` is the reader's status as a number.
    static ExportError readerFailed(int status);
    static ExportError writerFailed(std::string detail);
    static ExportError mediaUnavailable(std::vector<UnavailableMedia> clips);

    Kind kind() const { return kind_; }
    // The text of exportFailed and writerFailed.
    const std::string& detail() const { return detail_; }
    // The reader's status of readerFailed; 0 otherwise.
    int status() const { return status_; }
    // The clips of mediaUnavailable, with why; empty otherwise.
    const std::vector<UnavailableMedia>& unavailableMedia() const { return unavailableMedia_; }

    // The case with its value: readerFailed(status: 3), writerFailed(detail: "…").
    const char* what() const noexcept override { return description_.c_str(); }

    friend bool operator==(const ExportError& a, const ExportError& b) {
        return a.kind_ == b.kind_ && a.detail_ == b.detail_ && a.status_ == b.status_ &&
               a.unavailableMedia_ == b.unavailableMedia_;
    }

private:
    ExportError(Kind kind, std::string detail, int status,
                std::vector<UnavailableMedia> unavailableMedia = {});

    Kind kind_;
    std::string detail_;
    int status_;
    std::vector<UnavailableMedia> unavailableMedia_;
    std::string description_;
};

} // namespace vexel
