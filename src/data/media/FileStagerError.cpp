#include "data/media/FileStagerError.h"

#include "foundation/CaseText.h"

namespace vexel {

FileStagerError::FileStagerError(Kind kind, std::string fileName)
    : kind_(kind)
    , fileName_(std::move(fileName))
    , description_(casetext::call("copyFailed", {casetext::quoted(fileName_)})) {}

FileStagerError FileStagerError::copyFailed(std::string fileName) {
    return FileStagerError(Kind::copyFailed, std::move(fileName));
}

std::string FileStagerError::userMessage() const {
    return "Could not copy \"" + fileName_ + "\" into the project.";
}

} // namespace vexel
