#include "data/media/FFmpegMediaLoaderError.h"

#include "foundation/CaseText.h"

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

} // namespace

FFmpegMediaLoaderError::FFmpegMediaLoaderError(Kind kind, std::filesystem::path url)
    : kind_(kind)
    , url_(std::move(url))
    , description_(casetext::call(caseName(kind_), {casetext::quoted(url_.string())})) {}

FFmpegMediaLoaderError FFmpegMediaLoaderError::fileNotFound(std::filesystem::path url) {
    return FFmpegMediaLoaderError(Kind::fileNotFound, std::move(url));
}

FFmpegMediaLoaderError FFmpegMediaLoaderError::cannotLoadDuration(std::filesystem::path url) {
    return FFmpegMediaLoaderError(Kind::cannotLoadDuration, std::move(url));
}

std::string FFmpegMediaLoaderError::userMessage() const {
    std::string name = url_.filename().string();
    switch (kind_) {
    case Kind::fileNotFound:
        return "The file \"" + name + "\" was not found.";
    case Kind::cannotLoadDuration:
        return "Could not read the length of \"" + name + "\".";
    }
    return {};
}

} // namespace vexel
