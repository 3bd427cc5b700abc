#include "data/persistence/ProjectFile.h"

#include "data/persistence/JsonTree.h"
#include "data/persistence/ProjectFileReader.h"
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

// Deeper than any project file nests; deeper input is malformed.
constexpr std::size_t kMaxDepth = 256;

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

std::string ProjectFile::encoded(Layout layout, std::size_t limit) const {
    Json json = *this;
    if (holdsNonFiniteNumber(json)) {
        throw PersistenceError::encodingFailed();
    }
    std::string text;
    try {
        if (layout == Layout::prettySortedKeys) {
            const Json sorted = sortedByKey(std::move(json));
            text = dumped(sorted, 2, expectedSize(project));
            if (text.size() > limit) {
                // The indentation alone can take a project that was opened
                // from a file under the limit over it; on one line the same
                // members still read back, so what was opened can be saved.
                text.clear();
                text.shrink_to_fit();
                text = dumped(sorted, -1, expectedSize(project) / 2);
            }
        } else {
            text = dumped(json, -1, expectedSize(project) / 2);
        }
    } catch (const nlohmann::json::type_error&) {
        // Text that is not valid UTF-8, such as a file name in another encoding.
        throw PersistenceError::encodingFailed();
    }
    if (text.size() > limit) {
        throw PersistenceError::tooLarge(text.size(), limit);
    }
    return text;
}

Json ProjectFile::parsed(std::string_view bytes) {
    return parseJsonTree(bytes, kMaxDepth);
}

ProjectFile ProjectFile::decoded(std::string_view bytes) {
    ProjectFileReading reading = readProjectFile(bytes, kMaxDepth, maxClipValues);
    if (reading.malformed) {
        throw *reading.malformed;
    }
    if (reading.failure) {
        std::rethrow_exception(reading.failure);
    }
    return std::move(*reading.file);
}

std::optional<ProjectFile> ProjectFile::decodedIfStructured(std::string_view bytes) {
    ProjectFileReading reading = readProjectFile(bytes, kMaxDepth, maxClipValues);
    if (reading.malformed || !reading.structured) {
        return std::nullopt;
    }
    if (reading.failure) {
        std::rethrow_exception(reading.failure);
    }
    return std::move(reading.file);
}

ProjectFile ProjectFile::decodedFrom(const Json& json) {
    return json.get<ProjectFile>();
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
