#pragma once

#include "foundation/Json.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexel {

// Builds one JSON value from the parser's events, refusing arrays and objects
// nested deeper than `maxDepth` (the outermost value is depth 0) the moment
// they open: hostile text is turned away before it has been built into a
// tree, and code that walks the value later cannot run out of stack. Unlike
// the library's own parser, no object member is looked up while the object is
// being filled and no member list is copied as it grows, so an object or
// array of any width is built in time proportional to the text. A key given
// twice keeps its first place and its last value, as the library's ordered
// parser does.
class JsonTreeBuilder final : public nlohmann::json_sax<Json> {
public:
    explicit JsonTreeBuilder(std::size_t maxDepth)
        : maxDepth_(maxDepth) {}

    bool null() override { return add(Json(nullptr)); }
    bool boolean(bool value) override { return add(Json(value)); }
    bool number_integer(number_integer_t value) override { return add(Json(value)); }
    bool number_unsigned(number_unsigned_t value) override { return add(Json(value)); }
    bool number_float(number_float_t value, const string_t&) override { return add(Json(value)); }
    bool string(string_t& value) override { return add(Json(std::move(value))); }
    bool binary(binary_t& value) override { return add(Json::binary(std::move(value))); }

    bool start_object(std::size_t) override { return open(true); }
    bool key(string_t& key) override;
    bool end_object() override;

    bool start_array(std::size_t) override { return open(false); }
    bool end_array() override;

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

    bool tooDeep() const { return tooDeep_; }
    // Arrays and objects open now.
    std::size_t depth() const { return frames_.size(); }
    // The value, once its last event has come.
    std::optional<Json>& result() { return root_; }

private:
    // An array or object being filled. Members wait in a list of their own:
    // the library's member list keeps its keys const, so it copies (whole
    // subtrees included) rather than moves when it grows.
    struct Frame {
        bool isObject = false;
        Json::array_t elements;
        std::vector<std::pair<std::string, Json>> members;
        std::string key;
    };

    bool open(bool isObject);
    Frame close();
    bool add(Json&& value);
    static void fill(Json::object_t& object, std::vector<std::pair<std::string, Json>>&& members);

    std::size_t maxDepth_;
    std::vector<Frame> frames_;
    std::optional<Json> root_;
    bool tooDeep_ = false;
};

// Parses JSON text into a value in one pass with a JsonTreeBuilder. Throws
// DecodeError (dataCorrupted) for text that is not JSON or nests too deeply.
Json parseJsonTree(std::string_view text, std::size_t maxDepth);

} // namespace vexel
