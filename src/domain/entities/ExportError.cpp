#include "domain/entities/ExportError.h"

#include "foundation/CaseText.h"
#include "foundation/NumberText.h"

#include <utility>

namespace vexel {

namespace {

std::string describe(ExportError::Kind kind, const std::string& detail, int status) {
    switch (kind) {
    case ExportError::Kind::exportFailed:
        return casetext::call("exportFailed", {casetext::quoted(detail)});
    case ExportError::Kind::readerFailed:
        return casetext::call("readerFailed", {"status: " + formatInteger(status)});
    case ExportError::Kind::writerFailed:
        return casetext::call("writerFailed", {"detail: " + casetext::quoted(detail)});
    }
    return {};
}

} // namespace

ExportError::ExportError(Kind kind, std::string detail, int status)
    : kind_(kind)
    , detail_(std::move(detail))
    , status_(status)
    , description_(describe(kind_, detail_, status_)) {}

ExportError ExportError::exportFailed(std::string detail) {
    return ExportError(Kind::exportFailed, std::move(detail), 0);
}

ExportError ExportError::readerFailed(int status) {
    return ExportError(Kind::readerFailed, {}, status);
}

ExportError ExportError::writerFailed(std::string detail) {
    return ExportError(Kind::writerFailed, std::move(detail), 0);
}

} // namespace vexel
