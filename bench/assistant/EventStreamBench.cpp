// Target: reading a streamed reply at more than 200 MB/s, from the bytes to
// finished content blocks.
#include "data/llm/AnthropicStreamEventParser.h"
#include "data/llm/StreamContentBlockAccumulator.h"
#include "infrastructure/network/SSELineParser.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace vexel;

namespace {

// About 10 MB of a reply as the backend streams it: text blocks of many small
// deltas and tool-use blocks whose input arrives in JSON fragments.
std::string eventStream() {
    std::string body = "event: message_start\ndata: {\"type\":\"message_start\",\"message\":"
                       "{\"usage\":{\"input_tokens\":1200}}}\n\n";
    int index = 0;
    while (body.size() < 10 * 1024 * 1024) {
        const std::string at = std::to_string(index);
        if (index % 2 == 0) {
            body +=
                "event: content_block_start\ndata: {\"type\":\"content_block_start\",\"index\":" +
                at + ",\"content_block\":{\"type\":\"text\",\"text\":\"\"}}\n\n";
            for (int i = 0; i < 40; ++i) {
                body += "event: content_block_delta\ndata: {\"type\":\"content_block_delta\","
                        "\"index\":" +
                        at +
                        ",\"delta\":{\"type\":\"text_delta\",\"text\":\"I will split the "
                        "clip \\\"beach.mov\\\" at 2 seconds and fade it out. \"}}\n\n";
            }
        } else {
            body +=
                "event: content_block_start\ndata: {\"type\":\"content_block_start\",\"index\":" +
                at + ",\"content_block\":{\"type\":\"tool_use\",\"id\":\"toolu_" + at +
                "\",\"name\":\"split_clip\",\"input\":{}}}\n\n";
            for (int i = 0; i < 20; ++i) {
                body +=
                    "event: content_block_delta\ndata: {\"type\":\"content_block_delta\","
                    "\"index\":" +
                    at + ",\"delta\":{\"type\":\"input_json_delta\",\"partial_json\":\"" +
                    (i == 0 ? std::string("{\\\"target\\\": \\\"beach.mov\\\", \\\"note\\\": \\\"")
                            : std::string("xxxxxxxxxxxxxxxxxxxxxxxxxx")) +
                    "\"}}\n\n";
            }
            body +=
                "event: content_block_delta\ndata: {\"type\":\"content_block_delta\",\"index\":" +
                at +
                ",\"delta\":{\"type\":\"input_json_delta\",\"partial_json\":\"\\\", "
                "\\\"at\\\": 2}\"}}\n\n";
        }
        body +=
            "event: content_block_stop\ndata: {\"type\":\"content_block_stop\",\"index\":" + at +
            "}\n\n";
        ++index;
    }
    body += "event: message_delta\ndata: {\"type\":\"message_delta\",\"delta\":{\"stop_reason\":"
            "\"tool_use\"}}\n\nevent: message_stop\ndata: {\"type\":\"message_stop\"}\n\n";
    return body;
}

// Reads the body as the transport hands it over, 16 KiB at a time, with the
// given reading of each event line.
template <class Parse> void readEventStream(benchmark::State& state, Parse parse) {
    const std::string body = eventStream();
    const std::size_t chunk = 16 * 1024; // what the transport hands over at a time
    for (auto _ : state) {
        SSELineParser parser;
        StreamContentBlockAccumulator accumulator;
        auto take = [&](SSELine line) {
            if (auto event = parse(line)) {
                accumulator.feed(*event);
            }
        };
        for (std::size_t at = 0; at < body.size(); at += chunk) {
            parser.feed(std::string_view(body).substr(at, chunk), take);
        }
        benchmark::DoNotOptimize(accumulator.completedBlocks().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}

void BM_ReadEventStream(benchmark::State& state) {
    readEventStream(state, &AnthropicStreamEventParser::parse);
}
BENCHMARK(BM_ReadEventStream)->Unit(benchmark::kMillisecond);

// The baseline in the same run: a whole JSON document for every line.
void BM_ReadEventStreamParsingEveryLineFully(benchmark::State& state) {
    readEventStream(state, &AnthropicStreamEventParser::parseFully);
}
BENCHMARK(BM_ReadEventStreamParsingEveryLineFully)->Unit(benchmark::kMillisecond);

} // namespace
