#include "infrastructure/network/SSELineParser.h"

#include "foundation/UnicodeText.h"

namespace vexel {

namespace {

constexpr std::string_view doneSentinel = "[DONE]";

std::string_view fieldValue(std::string_view rest) {
    if (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    return rest;
}

} // namespace

bool SSELineParser::feed(std::string_view bytes, const Emit& emit) {
    while (!done_ && !bytes.empty()) {
        const auto lineFeed = bytes.find('\n');
        if (lineFeed == std::string_view::npos) {
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
    if (dataLines_.empty()) {
        return std::nullopt;
    }
    std::string data = joinedData();
    if (data == doneSentinel) {
        return std::nullopt;
    }
    return SSELine{eventName_, std::move(data)};
}

void SSELineParser::handleLine(std::string_view line, const Emit& emit) {
    if (line.empty()) {
        if (!dataLines_.empty()) {
            std::string data = joinedData();
            if (data == doneSentinel) {
                done_ = true;
            } else {
                emit(SSELine{eventName_, std::move(data)});
            }
        }
        // Even a blank line that dispatched nothing ends the event.
        eventName_.clear();
        dataLines_.clear();
    } else if (line.front() == ':') {
        // A comment, such as a keep-alive ping.
    } else if (line.starts_with("event:")) {
        eventName_ = fieldValue(line.substr(6));
    } else if (line.starts_with("data:")) {
        dataLines_.emplace_back(fieldValue(line.substr(5)));
    }
}

std::string SSELineParser::joinedData() const {
    std::string data;
    for (std::size_t i = 0; i < dataLines_.size(); ++i) {
        if (i > 0) {
            data += '\n';
        }
        data += dataLines_[i];
    }
    return data;
}

} // namespace vexel
