#include "domain/entities/PersistenceError.h"

#include "foundation/CaseText.h"

namespace vexel {

namespace {

const char* caseName(PersistenceError::Kind kind) {
    switch (kind) {
    case PersistenceError::Kind::decodingFailed:
        return "decodingFailed";
    case PersistenceError::Kind::assetCopyFailed:
        return "assetCopyFailed";
    case PersistenceError::Kind::fileNotFound:
        return "fileNotFound";
    case PersistenceError::Kind::encodingFailed:
        return "encodingFailed";
    case PersistenceError::Kind::directoryCreationFailed:
        return "directoryCreationFailed";
    }
    return "";
}

bool hasText(PersistenceError::Kind kind) {
    return kind != PersistenceError::Kind::encodingFailed &&
           kind != PersistenceError::Kind::directoryCreationFailed;
}

} // namespace

PersistenceError::PersistenceError(Kind kind, std::string detail)
    : kind_(kind)
    , detail_(std::move(detail))
    , description_(hasText(kind) ? casetext::call(caseName(kind), {casetext::quoted(detail_)})
                                 : casetext::call(caseName(kind), {})) {}

PersistenceError PersistenceError::decodingFailed(std::string reason) {
    return PersistenceError(Kind::decodingFailed, std::move(reason));
}

PersistenceError PersistenceError::assetCopyFailed(std::string fileName) {
    return PersistenceError(Kind::assetCopyFailed, std::move(fileName));
}

PersistenceError PersistenceError::fileNotFound(std::string fileName) {
    return PersistenceError(Kind::fileNotFound, std::move(fileName));
}

PersistenceError PersistenceError::encodingFailed() {
    return PersistenceError(Kind::encodingFailed, {});
}

PersistenceError PersistenceError::directoryCreationFailed() {
    return PersistenceError(Kind::directoryCreationFailed, {});
}

PersistenceError PersistenceError::mediaUnavailable(std::string fileName,
                                                    std::vector<UnavailableMedia> clips) {
    PersistenceError error = assetCopyFailed(std::move(fileName));
    error.unavailableMedia_ = std::move(clips);
    return error;
}

PersistenceError PersistenceError::copyFailed(std::string fileName,
                                              std::vector<std::string> clipNames,
                                              std::error_code cause) {
    PersistenceError error = assetCopyFailed(std::move(fileName));
    error.clipNames_ = std::move(clipNames);
    error.cause_ = cause;
    return error;
}

PersistenceError PersistenceError::tooLarge(std::uintmax_t bytes, std::uintmax_t limit) {
    PersistenceError error = encodingFailed();
    error.size_ = Size{bytes, limit};
    return error;
}

PersistenceError PersistenceError::tooLargeToOpen(std::uintmax_t bytes, std::uintmax_t limit) {
    PersistenceError error = decodingFailed("Project file too large");
    error.size_ = Size{bytes, limit};
    return error;
}

PersistenceError PersistenceError::directoryCreationFailed(std::string folder,
                                                           std::error_code cause) {
    PersistenceError error = directoryCreationFailed();
    error.folder_ = std::move(folder);
    error.cause_ = cause;
    return error;
}

PersistenceError PersistenceError::causedBy(std::error_code cause) && {
    cause_ = cause;
    return std::move(*this);
}

} // namespace vexel
