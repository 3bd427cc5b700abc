#pragma once

#include "domain/entities/JSONValue.h"
#include "foundation/Json.h"

namespace vexel {

// The one rule by which parsed reply JSON becomes a JSONValue, shared by whole
// and streamed replies: strings, Booleans (never numbers), numbers as doubles
// (integers beyond 2^53 lose precision), arrays and objects recursively, and
// anything else as null.
JSONValue convertToJSONValue(const Json& parsed);

// Every member of a parsed object, converted; empty for anything but an object.
JSONObject convertToJSONObject(const Json& parsedObject);

} // namespace vexel
