#include "data/persistence/AutoSaveError.h"

#include "foundation/CaseText.h"
#include "foundation/UnicodeText.h"

namespace vexel {

namespace {

std::string shown(const std::filesystem::path& path) {
    return unicode::replacingInvalidUtf8(path.string());
}

} // namespace

AutoSaveError::AutoSaveError(Kind kind, std::filesystem::path location, std::string keyStore)
    : kind_(kind)
    , location_(std::move(location))
    , keyStore_(std::move(keyStore))
    , description_(kind_ == Kind::unsafeLocation
                       ? casetext::call("unsafeLocation", {casetext::quoted(shown(location_))})
                       : casetext::call("keptAside", {casetext::quoted(shown(location_)),
                                                      casetext::quoted(keyStore_)})) {}

AutoSaveError AutoSaveError::unsafeLocation(std::filesystem::path location) {
    return AutoSaveError(Kind::unsafeLocation, std::move(location), {});
}

AutoSaveError AutoSaveError::keptAside(std::filesystem::path keptFile, std::string keyStore) {
    return AutoSaveError(Kind::keptAside, std::move(keptFile), std::move(keyStore));
}

std::string AutoSaveError::userMessage() const {
    if (kind_ == Kind::unsafeLocation) {
        return "The auto-save was not recovered: another user can change " + shown(location_) +
               ". It was left where it is.";
    }
    const std::string store = keyStore_.empty() ? "this session's key store" : keyStore_;
    return "The auto-save could not be opened with the key in " + store + ". It was kept as " +
           shown(location_) + " and will be offered again when its key can be read.";
}

} // namespace vexel
