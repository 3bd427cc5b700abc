#include "data/support/RemoteSupportError.h"

#include "foundation/CaseText.h"
#include "foundation/NumberText.h"

namespace vexel {

namespace {

std::string describe(RemoteSupportError::Kind kind, int statusCode) {
    switch (kind) {
    case RemoteSupportError::Kind::httpError:
        return casetext::call("httpError", {"statusCode: " + formatInteger(statusCode)});
    case RemoteSupportError::Kind::invalidURL:
        return "invalidURL";
    case RemoteSupportError::Kind::invalidResponse:
        return "invalidResponse";
    }
    return {};
}

} // namespace

RemoteSupportError::RemoteSupportError(Kind kind, int statusCode)
    : kind_(kind)
    , statusCode_(statusCode)
    , description_(describe(kind, statusCode)) {}

RemoteSupportError RemoteSupportError::httpError(int statusCode) {
    return RemoteSupportError(Kind::httpError, statusCode);
}

RemoteSupportError RemoteSupportError::invalidURL() {
    return RemoteSupportError(Kind::invalidURL, 0);
}

RemoteSupportError RemoteSupportError::invalidResponse() {
    return RemoteSupportError(Kind::invalidResponse, 0);
}

} // namespace vexel
