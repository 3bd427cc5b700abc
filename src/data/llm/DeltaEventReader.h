#pragma once

#include "data/llm/AnthropicStreamEvent.h"

#include <optional>
#include <string_view>

namespace vexel {

// Reads the data of a "content_block_delta" event without building a JSON
// document, for the two shapes that make up nearly all of a streamed reply, as
// the backend writes them:
//   {"type":"content_block_delta","index":N,"delta":{"type":"text_delta","text":"..."}}
//   {"type":"content_block_delta","index":N,"delta":{"type":"input_json_delta","partial_json":"..."}}
// Absent for anything else (other member order, white space, \u escapes, a
// large or fractional index, extra members): the full parse then decides, and
// for the shapes read here it gives the same event.
std::optional<AnthropicStreamEvent> readDeltaQuickly(std::string_view data);

} // namespace vexel
