#include "data/persistence/ProjectFileReader.h"

#include "data/persistence/JsonTree.h"
#include "domain/entities/EncodedMember.h"
#include "domain/entities/Project.h"
#include "foundation/JsonReader.h"

#include <string>
#include <utility>
#include <vector>

namespace vexel {

namespace {

// The records around the clips, outermost first: the file, the project, its
// array of tracks, a track, its array of clips. Each is decoded when it ends.
enum class Level { file, project, tracks, track, clips };

// The member of a record whose value is the next level down.
const char* childKey(Level level) {
    switch (level) {
    case Level::file:
        return "project";
    case Level::project:
        return "tracks";
    default:
        return "clips";
    }
}

Level childLevel(Level level) {
    switch (level) {
    case Level::file:
        return Level::project;
    case Level::project:
        return Level::tracks;
    default:
        return Level::clips;
    }
}

// Whether the next level down is an object (else an array).
bool childIsObject(Level level) {
    return level == Level::file;
}

// The members that the decoding of the record reads: ProjectFile's,
// Project's and Track's decoders read these and no others.
bool readsMember(Level level, const std::string& key) {
    switch (level) {
    case Level::file:
        return key == "version" || key == "project";
    case Level::project:
        return key == "tracks" || key == "maxDuration";
    case Level::track:
        return key == "id" || key == "type" || key == "name" || key == "clips" ||
               key == "isDefault";
    default:
        return false;
    }
}

// Why `value` does not decode as a T; it never does when this is asked.
template <class T> std::exception_ptr failureOf(const Json& value) {
    try {
        (void)value.get<T>();
    } catch (...) {
        return std::current_exception();
    }
    return std::make_exception_ptr(DecodeError::typeMismatch("", "Dictionary<String, Any>"));
}

// An error of the member's value itself is the member's, as the decoding of
// a parsed tree attaches it.
[[noreturn]] void rethrowAtMember(const std::exception_ptr& failure, const char* key) {
    try {
        std::rethrow_exception(failure);
    } catch (const DecodeError& error) {
        if (!error.key().empty()) {
            throw;
        }
        throw DecodeError(error.kind(), key, error.description());
    }
}

class Reader final : public nlohmann::json_sax<Json> {
public:
    Reader(std::size_t maxDepth, std::size_t maxClipValues)
        : maxDepth_(maxDepth)
        , maxClipValues_(maxClipValues) {}

    bool null() override {
        return scalar([](JsonTreeBuilder& clip) { return clip.null(); },
                      [] { return Json(nullptr); });
    }
    bool boolean(bool v) override {
        return scalar([v](JsonTreeBuilder& clip) { return clip.boolean(v); },
                      [v] { return Json(v); });
    }
    bool number_integer(number_integer_t v) override {
        return scalar([v](JsonTreeBuilder& clip) { return clip.number_integer(v); },
                      [v] { return Json(v); });
    }
    bool number_unsigned(number_unsigned_t v) override {
        return scalar([v](JsonTreeBuilder& clip) { return clip.number_unsigned(v); },
                      [v] { return Json(v); });
    }
    bool number_float(number_float_t v, const string_t& text) override {
        return scalar([v, &text](JsonTreeBuilder& clip) { return clip.number_float(v, text); },
                      [v] { return Json(v); });
    }
    bool string(string_t& v) override {
        return scalar([&v](JsonTreeBuilder& clip) { return clip.string(v); },
                      [&v] { return Json(std::move(v)); });
    }
    bool binary(binary_t& v) override {
        return scalar([&v](JsonTreeBuilder& clip) { return clip.binary(v); },
                      [&v] { return Json::binary(std::move(v)); });
    }

    bool start_object(std::size_t) override { return open(true); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_object() override { return close(true); }
    bool end_array() override { return close(false); }

    bool key(string_t& key) override {
        if (skipping()) {
            return true;
        }
        if (inClip()) {
            return clip_->key(key);
        }
        frames_.back().key = std::move(key);
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

    bool tooDeep() const { return tooDeep_; }

    // Once the parser has taken the whole text.
    ProjectFileReading finish() {
        ProjectFileReading reading;
        reading.structured = structured_;
        if (topValue_) {
            // A bare value, or the stand-in for an array: not a file record.
            reading.failure = failureOf<ProjectFile>(*topValue_);
        } else {
            reading.file = std::move(file_);
            reading.failure = failure_;
        }
        return reading;
    }

private:
    // A record of the outline, or an array of them, being read.
    struct Frame {
        explicit Frame(Level of)
            : level(of) {}

        Level level;
        // Records: the members their decoding reads, but the next level,
        // which is decoded as it is read.
        Json members = Json::object();
        // Records: the member whose value comes next.
        std::string key;
        // Records: the next level was read (its last value counts).
        bool hasChild = false;
        // Records: why the next level does not decode. Arrays: why an element
        // does not, after which the rest of the array is only parsed.
        std::exception_ptr failure;
        Project project;           // file: the next level
        std::vector<Track> tracks; // project: the next level; tracks: the elements so far
        std::vector<Clip> clips;   // track: the next level; clips: the elements so far
    };

    bool skipping() const { return skipDepth_ > 0; }
    bool inClip() const { return clip_.has_value(); }

    // A bare value: skipped, added to the clip being read, or placed in the
    // outline (made only then).
    template <class ToClip, class Make> bool scalar(ToClip toClip, Make make) {
        if (skipping()) {
            return true;
        }
        if (inClip()) {
            return !clipValue() || toClip(*clip_);
        }
        return value(make());
    }

    // Skips the value that has just opened.
    bool skipOpened() {
        skipDepth_ = 1;
        return true;
    }

    bool open(bool isObject) {
        if (depth_ >= maxDepth_) {
            tooDeep_ = true;
            return false;
        }
        ++depth_;
        if (skipping()) {
            ++skipDepth_;
            return true;
        }
        if (inClip()) {
            if (!clipValue(true)) {
                return true; // the rest of the clip is skipped
            }
            return isObject ? clip_->start_object(0) : clip_->start_array(0);
        }
        return openInOutline(isObject);
    }

    bool close(bool isObject) {
        --depth_;
        if (skipping()) {
            --skipDepth_;
            return true;
        }
        if (inClip()) {
            if (isObject) {
                clip_->end_object();
            } else {
                clip_->end_array();
            }
            if (clip_->depth() == 0) {
                finishClip();
            }
            return true;
        }
        closeInOutline();
        return true;
    }

    bool openInOutline(bool isObject) {
        if (frames_.empty()) {
            structured_ = true;
            if (isObject) {
                frames_.push_back(Frame{Level::file});
                return true;
            }
            topValue_ = Json::array();
            return skipOpened();
        }
        Frame& top = frames_.back();
        switch (top.level) {
        case Level::tracks:
            if (!top.failure && isObject) {
                frames_.push_back(Frame{Level::track});
                return true;
            }
            if (!top.failure) {
                top.failure = failureOf<Track>(Json::array());
            }
            return skipOpened();
        case Level::clips:
            if (!top.failure && isObject) {
                clip_.emplace(maxDepth_);
                clipValues_ = 0;
                return !clipValue(true) || clip_->start_object(0);
            }
            if (!top.failure) {
                top.failure = failureOf<Clip>(Json::array());
            }
            return skipOpened();
        default:
            return openMember(top, isObject);
        }
    }

    bool openMember(Frame& record, bool isObject) {
        if (!readsMember(record.level, record.key)) {
            return skipOpened();
        }
        if (record.key == childKey(record.level)) {
            if (isObject == childIsObject(record.level)) {
                record.members.erase(record.key);
                const Level child = childLevel(record.level);
                frames_.push_back(Frame{child});
                return true;
            }
            forgetChild(record);
        }
        // An array or object where the other kind or a bare value belongs:
        // its decoding refuses it for its kind, whatever it holds.
        record.members[record.key] = isObject ? Json::object() : Json::array();
        return skipOpened();
    }

    // A bare value of the outline.
    bool value(Json&& bare) {
        if (frames_.empty()) {
            topValue_ = std::move(bare);
            return true;
        }
        Frame& top = frames_.back();
        switch (top.level) {
        case Level::tracks:
            if (!top.failure) {
                top.failure = failureOf<Track>(bare);
            }
            return true;
        case Level::clips:
            if (!top.failure) {
                top.failure = failureOf<Clip>(bare);
            }
            return true;
        default:
            if (readsMember(top.level, top.key)) {
                if (top.key == childKey(top.level)) {
                    forgetChild(top);
                }
                top.members[top.key] = std::move(bare);
            }
            return true;
        }
    }

    static void forgetChild(Frame& record) {
        record.hasChild = false;
        record.failure = nullptr;
        record.project = Project{};
        record.tracks.clear();
        record.clips.clear();
    }

    void closeInOutline() {
        Frame frame = std::move(frames_.back());
        frames_.pop_back();
        switch (frame.level) {
        case Level::file:
            finishFile(frame);
            return;
        case Level::project: {
            Frame& file = frames_.back();
            forgetChild(file);
            file.hasChild = true;
            try {
                file.project = decodeRecord(frame, frame.tracks, &Project::tracks);
            } catch (...) {
                file.failure = std::current_exception();
            }
            return;
        }
        case Level::tracks:
            adoptArray(frames_.back(), frame, &Frame::tracks);
            return;
        case Level::track: {
            Frame& tracks = frames_.back();
            try {
                tracks.tracks.push_back(decodeRecord(frame, frame.clips, &Track::clips));
            } catch (...) {
                tracks.failure = std::current_exception();
            }
            return;
        }
        case Level::clips:
            adoptArray(frames_.back(), frame, &Frame::clips);
            return;
        }
    }

    // An array of tracks or clips that has ended becomes its record's.
    template <class Element>
    static void adoptArray(Frame& record, Frame& array, std::vector<Element> Frame::*elements) {
        forgetChild(record);
        record.hasChild = true;
        record.*elements = std::move(array.*elements);
        record.failure = array.failure;
    }

    // The record's own decoding (a project's or a track's) over what was kept
    // of it, the elements decoded already standing in for its array.
    template <class Record, class Element>
    static Record decodeRecord(Frame& frame, std::vector<Element>& decoded,
                               std::vector<Element> Record::*elements) {
        if (frame.hasChild) {
            frame.members[childKey(frame.level)] = Json::array();
        }
        Record record = frame.members.get<Record>();
        if (frame.hasChild) {
            if (frame.failure) {
                std::rethrow_exception(frame.failure);
            }
            record.*elements = std::move(decoded);
        }
        return record;
    }

    // As ProjectFile's decoding: the version, then the project.
    void finishFile(Frame& frame) {
        try {
            ProjectFile file;
            file.version = json::readInt(frame.members, "version");
            if (frame.hasChild) {
                if (frame.failure) {
                    rethrowAtMember(frame.failure, "project");
                }
                file.project = PersistedProject::forAutoSave(frame.project);
            } else {
                file.project = json::decodeMember<PersistedProject>(frame.members, "project",
                                                                    "PersistedProject");
            }
            file_ = std::move(file);
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    // Counts a value of the clip being read; past the limit the clip fails
    // and the rest of it is only parsed (false then, for the caller to leave
    // the value out).
    bool clipValue(bool opening = false) {
        if (++clipValues_ <= maxClipValues_) {
            return true;
        }
        frames_.back().failure = std::make_exception_ptr(DecodeError::dataCorrupted(
            "", "The clip holds more values than any clip of a project file."));
        skipDepth_ = clip_->depth() + (opening ? 1 : 0);
        clip_.reset();
        return false;
    }

    void finishClip() {
        Json clip = std::move(*clip_->result());
        clip_.reset();
        Frame& clips = frames_.back();
        try {
            clips.clips.push_back(clip.get<Clip>());
        } catch (...) {
            clips.failure = std::current_exception();
        }
    }

    std::size_t maxDepth_;
    std::size_t maxClipValues_;
    std::size_t depth_ = 0;
    // Arrays and objects open in the value being skipped.
    std::size_t skipDepth_ = 0;
    bool tooDeep_ = false;
    bool structured_ = false;
    std::vector<Frame> frames_;
    // The clip being read, and the values it has shown so far.
    std::optional<JsonTreeBuilder> clip_;
    std::size_t clipValues_ = 0;
    // The text's top value when it is no object.
    std::optional<Json> topValue_;
    std::optional<ProjectFile> file_;
    std::exception_ptr failure_;
};

} // namespace

ProjectFileReading readProjectFile(std::string_view text, std::size_t maxDepth,
                                   std::size_t maxClipValues) {
    Reader reader(maxDepth, maxClipValues);
    const bool parsed = Json::sax_parse(text.begin(), text.end(), &reader);
    if (reader.tooDeep()) {
        ProjectFileReading reading;
        reading.malformed = DecodeError::dataCorrupted("", "The given data is nested too deeply.");
        return reading;
    }
    if (!parsed) {
        ProjectFileReading reading;
        reading.malformed = DecodeError::dataCorrupted("", "The given data was not valid JSON.");
        return reading;
    }
    return reader.finish();
}

} // namespace vexel
