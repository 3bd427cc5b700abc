// Feeds arbitrary bytes, cut into arbitrary chunks, through the event-stream
// reader and the content-block accumulator as a streamed reply is read. The
// chunking must not change what is read, and the direct reading of delta events
// must give what the full parse of each line gives.
#include "data/llm/AnthropicStreamEventParser.h"
#include "data/llm/StreamContentBlockAccumulator.h"
#include "infrastructure/network/SSELineParser.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace vexel;

namespace {

struct Reading {
    std::vector<SSELine> lines;
    std::vector<ContentBlock> blocks;
    std::optional<std::string> stopReason;
};

// Reads the body in chunks whose lengths come from `cuts`, cycling; an empty
// list of cuts reads it whole.
Reading read(std::string_view body, std::string_view cuts) {
    Reading reading;
    SSELineParser parser;
    StreamContentBlockAccumulator accumulator;
    auto take = [&](SSELine line) {
        auto event = AnthropicStreamEventParser::parse(line);
        // Every line's data is also tried as a delta, whatever its event name.
        const SSELine asDelta{"content_block_delta", line.data};
        if (event != AnthropicStreamEventParser::parseFully(line) ||
            AnthropicStreamEventParser::parse(asDelta) !=
                AnthropicStreamEventParser::parseFully(asDelta)) {
            std::fprintf(stderr, "direct reading differs from the full parse\n");
            std::abort();
        }
        if (event) {
            accumulator.feed(*event);
        }
        reading.lines.push_back(std::move(line));
    };
    std::size_t cut = 0;
    bool open = true;
    while (open && !body.empty()) {
        std::size_t length = body.size();
        if (!cuts.empty()) {
            length = static_cast<unsigned char>(cuts[cut++ % cuts.size()]) % 64 + 1;
        }
        length = std::min(length, body.size());
        open = parser.feed(body.substr(0, length), take);
        body.remove_prefix(length);
    }
    if (open) {
        if (auto last = parser.finish()) {
            take(std::move(*last));
        }
    }
    reading.blocks = accumulator.completedBlocks();
    reading.stopReason = accumulator.stopReason();
    return reading;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first bytes choose the chunk lengths; the rest is the body.
    const std::size_t cutCount = size == 0 ? 0 : std::min<std::size_t>(data[0] % 8, size - 1);
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::string_view cuts = size == 0 ? std::string_view{} : all.substr(1, cutCount);
    const std::string_view body = size == 0 ? all : all.substr(1 + cutCount);

    const Reading whole = read(body, {});
    const Reading chunked = read(body, cuts.empty() ? std::string_view("\x00", 1) : cuts);
    if (!(whole.lines == chunked.lines) || !(whole.blocks == chunked.blocks) ||
        whole.stopReason != chunked.stopReason) {
        std::fprintf(stderr, "chunking changed what the stream reader read\n");
        std::abort();
    }
    return 0;
}
