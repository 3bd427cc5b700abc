#include "data/audio/WaveformExtractorError.h"

#include "foundation/CaseText.h"

namespace vexel {

WaveformExtractorError::WaveformExtractorError(Kind kind, std::string detail)
    : kind_(kind)
    , detail_(std::move(detail))
    , description_(
          casetext::call(kind == Kind::cannotCreateReader ? "cannotCreateReader" : "readFailed",
                         {casetext::quoted(detail_)})) {}

WaveformExtractorError WaveformExtractorError::cannotCreateReader(std::string detail) {
    return WaveformExtractorError(Kind::cannotCreateReader, std::move(detail));
}

WaveformExtractorError WaveformExtractorError::readFailed(std::string detail) {
    return WaveformExtractorError(Kind::readFailed, std::move(detail));
}

std::string WaveformExtractorError::userMessage() const {
    switch (kind_) {
    case Kind::cannotCreateReader:
        return "Could not open the sound of the file: " + detail_;
    case Kind::readFailed:
        return "Could not read the sound of the file: " + detail_;
    }
    return {};
}

} // namespace vexel
