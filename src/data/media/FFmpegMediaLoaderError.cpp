#include "data/media/FFmpegMediaLoaderError.h"

#include "foundation/CaseText.h"
#include "foundation/UnicodeText.h"

namespace vexel {

namespace {

const char* caseName(FFmpegMediaLoaderError::Kind kind) {
    switch (kind) {
    case FFmpegMediaLoaderError::Kind::fileNotFound:
        return "fileNotFound";
    case FFmpegMediaLoaderError::Kind::cannotLoadDuration:
        return "cannotLoadDuration";
    }
    return "";
}

const char* whatItIs(FFmpegMediaLoaderError::SpecialFile special) {
    switch (special) {
    case FFmpegMediaLoaderError::SpecialFile::folder:
        return "it is a folder";
    case FFmpegMediaLoaderError::SpecialFile::namedPipe:
        return "it is a named pipe";
    case FFmpegMediaLoaderError::SpecialFile::socket:
        return "it is a socket";
    case FFmpegMediaLoaderError::SpecialFile::device:
        return "it is a device";
    case FFmpegMediaLoaderError::SpecialFile::other:
        break;
    }
    return "it is a special file";
}

} // namespace

FFmpegMediaLoaderError::FFmpegMediaLoaderError(Kind kind, std::filesystem::path url,
                                               std::optional<SpecialFile> special)
    : kind_(kind)
    , url_(std::move(url))
    , specialFile_(special)
    , description_(casetext::call(caseName(kind_), {casetext::quoted(url_.string())})) {}

FFmpegMediaLoaderError FFmpegMediaLoaderError::fileNotFound(std::filesystem::path url,
                                                            std::optional<SpecialFile> special) {
    return FFmpegMediaLoaderError(Kind::fileNotFound, std::move(url), special);
}

FFmpegMediaLoaderError
FFmpegMediaLoaderError::cannotLoadDuration(std::filesystem::path url,
                                           std::optional<SpecialFile> special) {
    return FFmpegMediaLoaderError(Kind::cannotLoadDuration, std::move(url), special);
}

FFmpegMediaLoaderError FFmpegMediaLoaderError::cannotLoadDuration(std::filesystem::path url,
                                                                  Reason reason) {
    FFmpegMediaLoaderError error(Kind::cannotLoadDuration, std::move(url), std::nullopt);
    error.reason_ = reason;
    return error;
}

std::optional<std::string> FFmpegMediaLoaderError::reasonText() const {
    if (specialFile_) {
        return std::string(whatItIs(*specialFile_)) + ", not a media file";
    }
    if (!reason_) {
        return kind_ == Kind::fileNotFound ? std::optional<std::string>("the file is missing")
                                           : std::nullopt;
    }
    switch (*reason_) {
    case Reason::missing:
        return "the file is missing";
    case Reason::unreadable:
        return "the file cannot be read";
    case Reason::empty:
        return "the file is empty";
    case Reason::notMedia:
        return "it is not a media file";
    case Reason::damaged:
        return "the file is damaged or unreadable";
    case Reason::noPictureOrSound:
        return "it holds no picture or sound";
    }
    return std::nullopt;
}

std::string FFmpegMediaLoaderError::userMessage() const {
    // Shown and sent: bytes that are not UTF-8 would not survive either.
    std::string name = unicode::replacingInvalidUtf8(url_.filename().string());
    if (specialFile_) {
        return "\"" + name + "\" cannot be added: " + whatItIs(*specialFile_) +
               ", not a media file.";
    }
    switch (kind_) {
    case Kind::fileNotFound:
        return "The file \"" + name + "\" was not found.";
    case Kind::cannotLoadDuration:
        return "Could not read the length of \"" + name + "\".";
    }
    return {};
}

} // namespace vexel
