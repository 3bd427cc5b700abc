#include "infrastructure/network/SSELineParser.h"

#include "foundation/UnicodeText.h"
#include "infrastructure/network/APIClientError.h"

#include <string>
#include <utility>

namespace vexel {

namespace {

constexpr std::string_view doneSentinel = "[DONE]";

std::string_view fieldValue(std::string_view rest) {
    if (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    return rest;
}

[[noreturn]] void failTooLong(std::size_t maxLineLength) {
    throw APIClientError::networkError("Event stream line longer than " +
                                       std::to_string(maxLineLength) + " bytes");
}

} // namespace

bool SSELineParser::feed(std::string_view bytes, const Emit& emit) {
    while (!done_ && !bytes.empty()) {
        const auto lineFeed = bytes.find('\n');
        if (lineFeed == std::string_view::npos) {
            if (bytes.size() > maxLineLength_ - lineBuffer_.size()) {
                failTooLong(maxLineLength_);
            }
            lineBuffer_.append(bytes);
            break;
        }
        // Most lines arrive whole; only a line split across pieces is copied.
        std::string_view line = bytes.substr(0, lineFeed);
        if (!lineBuffer_.empty()) {
            lineBuffer_.append(line);
            line = lineBuffer_;
        }
        bytes.remove_prefix(lineFeed + 1);
        if (line.size() > maxLineLength_) {
            failTooLong(maxLineLength_);
        }

        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!unicode::isValidUtf8(line)) {
            line = {};
        }
        handleLine(line, emit);
        lineBuffer_.clear();
    }
    return !done_;
}

std::optional<SSELine> SSELineParser::finish() {
    lineBuffer_.clear();
    if (done_) {
        return std::nullopt;
    }
    done_ = true;
    if (!hasData_ || data_ == doneSentinel) {
        return std::nullopt;
    }
    return SSELine{std::move(eventName_), std::move(data_)};
}

void SSELineParser::handleLine(std::string_view line, const Emit& emit) {
    if (line.empty()) {
        if (hasData_) {
            if (data_ == doneSentinel) {
                done_ = true;
            } else {
                // The event's fields are reset below anyway, so they move out.
                emit(SSELine{std::move(eventName_), std::move(data_)});
            }
        }
        // Even a blank line that dispatched nothing ends the event.
        endEvent();
    } else if (line.front() == ':') {
        // A comment, such as a keep-alive ping.
    } else if (line.starts_with("event:")) {
        eventName_ = fieldValue(line.substr(6));
    } else if (line.starts_with("data:")) {
        const std::string_view value = fieldValue(line.substr(5));
        if (data_.size() + value.size() + 1 > maxLineLength_) {
            failTooLong(maxLineLength_);
        }
        if (hasData_) {
            data_ += '\n';
        }
        data_ += value;
        hasData_ = true;
    }
}

void SSELineParser::endEvent() {
    eventName_.clear();
    data_.clear();
    hasData_ = false;
}

} // namespace vexel
