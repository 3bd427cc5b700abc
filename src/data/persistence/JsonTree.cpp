#include "data/persistence/JsonTree.h"

#include "foundation/DecodeError.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vexel {

namespace {

// Objects with at most this many members find a repeated key by a plain
// scan; wider ones through an index.
constexpr std::size_t kScannedMembers = 64;

class TreeBuilder final : public nlohmann::json_sax<Json> {
public:
    explicit TreeBuilder(std::size_t maxDepth)
        : maxDepth_(maxDepth) {}

    bool null() override { return add(Json(nullptr)); }
    bool boolean(bool value) override { return add(Json(value)); }
    bool number_integer(number_integer_t value) override { return add(Json(value)); }
    bool number_unsigned(number_unsigned_t value) override { return add(Json(value)); }
    bool number_float(number_float_t value, const string_t&) override { return add(Json(value)); }
    bool string(string_t& value) override { return add(Json(std::move(value))); }
    bool binary(binary_t& value) override { return add(Json::binary(std::move(value))); }

    bool start_object(std::size_t) override { return open(true); }
    bool key(string_t& key) override {
        frames_.back().key = std::move(key);
        return true;
    }
    bool end_object() override {
        Frame frame = close();
        Json object = Json::object();
        fill(object.get_ref<Json::object_t&>(), std::move(frame.members));
        return add(std::move(object));
    }

    bool start_array(std::size_t) override { return open(false); }
    bool end_array() override {
        Frame frame = close();
        Json array = Json::array();
        array.get_ref<Json::array_t&>() = std::move(frame.elements);
        return add(std::move(array));
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

    bool tooDeep() const { return tooDeep_; }
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

    bool open(bool isObject) {
        if (frames_.size() >= maxDepth_) {
            tooDeep_ = true;
            return false;
        }
        frames_.push_back(Frame{isObject, {}, {}, {}});
        return true;
    }

    Frame close() {
        Frame frame = std::move(frames_.back());
        frames_.pop_back();
        return frame;
    }

    bool add(Json&& value) {
        if (frames_.empty()) {
            root_ = std::move(value);
        } else if (Frame& top = frames_.back(); top.isObject) {
            top.members.emplace_back(std::move(top.key), std::move(value));
        } else {
            top.elements.push_back(std::move(value));
        }
        return true;
    }

    static void fill(Json::object_t& object, std::vector<std::pair<std::string, Json>>&& members) {
        object.reserve(members.size());
        if (members.size() <= kScannedMembers) {
            for (auto& [key, value] : members) {
                auto found = object.find(key);
                if (found != object.end()) {
                    found->second = std::move(value);
                } else {
                    object.emplace_back(std::move(key), std::move(value));
                }
            }
            return;
        }
        // Reserved above, so the stored keys the index points into never move.
        std::unordered_map<std::string_view, std::size_t> places;
        places.reserve(members.size());
        for (auto& [key, value] : members) {
            if (auto place = places.find(key); place != places.end()) {
                (object.begin() + static_cast<long>(place->second))->second = std::move(value);
                continue;
            }
            object.emplace_back(std::move(key), std::move(value));
            places.emplace(object.back().first, object.size() - 1);
        }
    }

    std::size_t maxDepth_;
    std::vector<Frame> frames_;
    std::optional<Json> root_;
    bool tooDeep_ = false;
};

} // namespace

Json parseJsonTree(std::string_view text, std::size_t maxDepth) {
    TreeBuilder builder(maxDepth);
    const bool parsed = Json::sax_parse(text.begin(), text.end(), &builder);
    if (builder.tooDeep()) {
        throw DecodeError::dataCorrupted("", "The given data is nested too deeply.");
    }
    if (!parsed || !builder.result()) {
        throw DecodeError::dataCorrupted("", "The given data was not valid JSON.");
    }
    return std::move(*builder.result());
}

} // namespace vexel
