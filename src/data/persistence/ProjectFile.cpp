#include "data/persistence/ProjectFile.h"

#include "domain/entities/EncodedMember.h"
#include "domain/entities/PersistenceError.h"
#include "foundation/DecodeError.h"
#include "foundation/JsonReader.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vexel {

namespace {

// Walks with an explicit stack: the encoded project nests only a few levels,
// but a walk over any value should not depend on that.
template <class JsonType> bool holdsNonFiniteNumber(const JsonType& root) {
    std::vector<const JsonType*> pending{&root};
    while (!pending.empty()) {
        const JsonType* value = pending.back();
        pending.pop_back();
        if (value->is_number_float() && !std::isfinite(value->template get<double>())) {
            return true;
        }
        if (value->is_structured()) {
            for (const JsonType& child : *value) {
                pending.push_back(&child);
            }
        }
    }
    return false;
}

// The value with every object's members in key order (byte order, which for
// UTF-8 is code point order). Members are moved, not copied: the value is
// taken apart as it goes.
Json sortedByKey(Json&& value) {
    if (value.is_array()) {
        for (Json& element : value) {
            element = sortedByKey(std::move(element));
        }
        return std::move(value);
    }
    if (!value.is_object()) {
        return std::move(value);
    }
    std::vector<std::pair<std::string, Json>> members;
    members.reserve(value.size());
    for (auto& [key, member] : value.items()) {
        members.emplace_back(key, sortedByKey(std::move(member)));
    }
    std::sort(members.begin(), members.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    Json sorted = Json::object();
    // Room for every member first: when the member list grows, the library
    // copies the members already there, whole subtrees included.
    sorted.get_ref<Json::object_t&>().reserve(members.size());
    for (auto& [key, member] : members) {
        sorted[std::move(key)] = std::move(member);
    }
    return sorted;
}

// Deeper than any project file nests; deeper input is malformed, and must not
// exhaust the stack of the walk below.
constexpr int kMaxDepth = 256;

// The same value as the project's JSON type, moved over member by member. The
// library's plain json type grows objects without copying what they hold,
// which its ordered type does (a file with a large member before a small one,
// as the sorted project file has, would be copied over whole while parsed).
Json toOrdered(nlohmann::json&& value, int depth = 0) {
    if (value.is_structured() && depth == kMaxDepth) {
        throw DecodeError::dataCorrupted("", "The given data is nested too deeply.");
    }
    if (value.is_array()) {
        Json array = Json::array();
        array.get_ref<Json::array_t&>().reserve(value.size());
        for (nlohmann::json& element : value) {
            array.push_back(toOrdered(std::move(element), depth + 1));
        }
        return array;
    }
    if (value.is_object()) {
        Json object = Json::object();
        object.get_ref<Json::object_t&>().reserve(value.size());
        for (auto& [key, member] : value.items()) {
            object[key] = toOrdered(std::move(member), depth + 1);
        }
        return object;
    }
    switch (value.type()) {
    case nlohmann::json::value_t::string:
        return Json(std::move(value.get_ref<std::string&>()));
    case nlohmann::json::value_t::boolean:
        return Json(value.get<bool>());
    case nlohmann::json::value_t::number_integer:
        return Json(value.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned:
        return Json(value.get<std::uint64_t>());
    case nlohmann::json::value_t::number_float:
        return Json(value.get<double>());
    default:
        return Json(); // null (parsing makes no other kind)
    }
}

// The library's dump(), into a buffer reserved ahead: a project file runs to
// hundreds of kilobytes, and growing the text step by step copies it over and
// over into fresh memory.
template <class JsonType>
std::string dumped(const JsonType& json, int indent, std::size_t expectedSize) {
    std::string text;
    text.reserve(expectedSize);
    nlohmann::detail::serializer<JsonType> serializer(
        nlohmann::detail::output_adapter<char, std::string>(text), ' ',
        nlohmann::detail::error_handler_t::strict);
    serializer.dump(json, indent >= 0, false, indent >= 0 ? static_cast<unsigned>(indent) : 0);
    return text;
}

// About what a clip takes in the indented file.
std::size_t expectedSize(const PersistedProject& project) {
    std::size_t clips = 0;
    for (const PersistedTrack& track : project.tracks) {
        clips += track.clips.size();
    }
    return 4096 + 1024 * clips;
}

} // namespace

std::string ProjectFile::encoded(Layout layout) const {
    Json json = *this;
    if (holdsNonFiniteNumber(json)) {
        throw PersistenceError::encodingFailed();
    }
    try {
        if (layout == Layout::prettySortedKeys) {
            return dumped(sortedByKey(std::move(json)), 2, expectedSize(project));
        }
        return dumped(json, -1, expectedSize(project) / 2);
    } catch (const nlohmann::json::type_error&) {
        // Text that is not valid UTF-8, such as a file name in another encoding.
        throw PersistenceError::encodingFailed();
    }
}

ProjectFile ProjectFile::decoded(std::string_view bytes) {
    nlohmann::json parsed = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (parsed.is_discarded()) {
        throw DecodeError::dataCorrupted("", "The given data was not valid JSON.");
    }
    return toOrdered(std::move(parsed)).get<ProjectFile>();
}

void to_json(Json& json, const ProjectFile& file) {
    json = Json::object();
    json["version"] = file.version;
    json["project"] = file.project;
}

void from_json(const Json& json, ProjectFile& file) {
    json::expectObject(json);
    ProjectFile decoded;
    decoded.version = json::readInt(json, "version");
    decoded.project = json::decodeMember<PersistedProject>(json, "project", "PersistedProject");
    file = std::move(decoded);
}

} // namespace vexel
