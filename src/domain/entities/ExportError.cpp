#include "domain/entities/ExportError.h"

#include "foundation/CaseText.h"
#include "foundation/NumberText.h"

#include <utility>

namespace vexel {

namespace {

std::string describe(ExportError::Kind kind, const std::string& detail, int status,
                     const std::vector<UnavailableMedia>& clips) {
    switch (kind) {
    case ExportError::Kind::exportFailed:
        return casetext::call("exportFailed", {casetext::quoted(detail)});
    case ExportError::Kind::readerFailed:
        return casetext::call("readerFailed", {"status: " + formatInteger(status)});
    case ExportError::Kind::writerFailed:
        return casetext::call("writerFailed", {"detail: " + casetext::quoted(detail)});
    case ExportError::Kind::mediaUnavailable: {
        std::string names;
        for (const UnavailableMedia& clip : clips) {
            names += (names.empty() ? "" : ", ") + casetext::quoted(clip.clipName);
        }
        return casetext::call("mediaUnavailable", {names});
    }
    }
    return {};
}

} // namespace

ExportError::ExportError(Kind kind, std::string detail, int status,
                         std::vector<UnavailableMedia> unavailableMedia)
    : kind_(kind)
    , detail_(std::move(detail))
    , status_(status)
    , unavailableMedia_(std::move(unavailableMedia))
    , description_(describe(kind_, detail_, status_, unavailableMedia_)) {}

ExportError ExportError::exportFailed(std::string detail) {
    return ExportError(Kind::exportFailed, std::move(detail), 0);
}

ExportError ExportError::readerFailed(int status) {
    return ExportError(Kind::readerFailed, {}, status);
}

ExportError ExportError::writerFailed(std::string detail) {
    return ExportError(Kind::writerFailed, std::move(detail), 0);
}

ExportError ExportError::mediaUnavailable(std::vector<UnavailableMedia> clips) {
    return ExportError(Kind::mediaUnavailable, {}, 0, std::move(clips));
}

} // namespace vexel
