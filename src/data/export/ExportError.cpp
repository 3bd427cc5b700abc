#include "data/export/ExportError.h"

#include "foundation/CaseText.h"

namespace vexel {

namespace {

std::string describe(ExportError::Kind kind, int status, const std::string& detail) {
    switch (kind) {
    case ExportError::Kind::exportFailed:
        return casetext::call("exportFailed", {casetext::quoted(detail)});
    case ExportError::Kind::readerFailed:
        return casetext::call("readerFailed", {"status: " + std::to_string(status)});
    case ExportError::Kind::writerFailed:
        return casetext::call("writerFailed", {"detail: " + casetext::quoted(detail)});
    }
    return {};
}

} // namespace

ExportError::ExportError(Kind kind, int status, std::string detail)
    : kind_(kind)
    , status_(status)
    , detail_(std::move(detail))
    , description_(describe(kind_, status_, detail_)) {}

ExportError ExportError::exportFailed(std::string detail) {
    return ExportError(Kind::exportFailed, 0, std::move(detail));
}
ExportError ExportError::readerFailed(int status) {
    return ExportError(Kind::readerFailed, status, {});
}
ExportError ExportError::writerFailed(std::string detail) {
    return ExportError(Kind::writerFailed, 0, std::move(detail));
}

} // namespace vexel
