#include "platform/net/HttpURL.h"

#include <curl/curl.h>

#include <memory>
#include <string>

namespace vexel::net {

namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

struct PartDeleter {
    void operator()(char* part) const { curl_free(part); }
};

std::unique_ptr<char, PartDeleter> urlPart(CURLU* url, CURLUPart which) {
    char* part = nullptr;
    if (curl_url_get(url, which, &part, 0) != CURLUE_OK) {
        return nullptr;
    }
    return std::unique_ptr<char, PartDeleter>(part);
}

} // namespace

bool isValidHttpURL(std::string_view text) {
    // The text goes to the library as a C string: a NUL would cut it short.
    if (text.find('\0') != std::string_view::npos) {
        return false;
    }
    // libcurl reads "http:///path" as host "path"; a third slash is a mistake here.
    if (const auto authority = text.find("://");
        authority != std::string_view::npos && text.substr(authority + 3).starts_with('/')) {
        return false;
    }
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url) {
        return false;
    }
    const std::string copy(text);
    if (curl_url_set(url.get(), CURLUPART_URL, copy.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    const auto scheme = urlPart(url.get(), CURLUPART_SCHEME);
    const auto host = urlPart(url.get(), CURLUPART_HOST);
    if (!scheme || !host || *host.get() == '\0') {
        return false;
    }
    const std::string_view schemeText(scheme.get());
    return schemeText == "http" || schemeText == "https";
}

} // namespace vexel::net
