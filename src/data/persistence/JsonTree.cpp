#include "data/persistence/JsonTree.h"

#include "foundation/DecodeError.h"

#include <unordered_map>

namespace vexel {

namespace {

// Objects with at most this many members find a repeated key by a plain
// scan; wider ones through an index.
constexpr std::size_t kScannedMembers = 64;

} // namespace

bool JsonTreeBuilder::key(string_t& key) {
    frames_.back().key = std::move(key);
    return true;
}

bool JsonTreeBuilder::end_object() {
    Frame frame = close();
    Json object = Json::object();
    fill(object.get_ref<Json::object_t&>(), std::move(frame.members));
    return add(std::move(object));
}

bool JsonTreeBuilder::end_array() {
    Frame frame = close();
    Json array = Json::array();
    array.get_ref<Json::array_t&>() = std::move(frame.elements);
    return add(std::move(array));
}

bool JsonTreeBuilder::open(bool isObject) {
    if (frames_.size() >= maxDepth_) {
        tooDeep_ = true;
        return false;
    }
    frames_.push_back(Frame{isObject, {}, {}, {}});
    return true;
}

JsonTreeBuilder::Frame JsonTreeBuilder::close() {
    Frame frame = std::move(frames_.back());
    frames_.pop_back();
    return frame;
}

bool JsonTreeBuilder::add(Json&& value) {
    if (frames_.empty()) {
        root_ = std::move(value);
    } else if (Frame& top = frames_.back(); top.isObject) {
        top.members.emplace_back(std::move(top.key), std::move(value));
    } else {
        top.elements.push_back(std::move(value));
    }
    return true;
}

void JsonTreeBuilder::fill(Json::object_t& object,
                           std::vector<std::pair<std::string, Json>>&& members) {
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

Json parseJsonTree(std::string_view text, std::size_t maxDepth) {
    JsonTreeBuilder builder(maxDepth);
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
