#include "platform/net/CurlHttpClient.h"

#include "foundation/CancellationError.h"
#include "platform/net/HttpTransportError.h"

#include <curl/curl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vexel::net {

namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Which libcurl failures mean what to the callers of the client:
//   CURLE_OPERATION_TIMEDOUT (28)                    -> timedOut (connect time-out or idle
//   time-out) CURLE_GOT_NOTHING (52), CURLE_SEND_ERROR (55), CURLE_RECV_ERROR (56),
//   CURLE_PARTIAL_FILE (18)   -> connectionLost (the peer hung up or reset)
//   CURLE_WEIRD_SERVER_REPLY (8),
//   CURLE_UNSUPPORTED_PROTOCOL (1)                   -> invalidResponse (the reply is not HTTP; an
//                                                       HTTP/0.9 reply is refused with code 1)
//   every other code                                 -> failed, carrying the code
HttpTransportError::Kind classify(CURLcode code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return HttpTransportError::Kind::timedOut;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
        return HttpTransportError::Kind::connectionLost;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return HttpTransportError::Kind::invalidResponse;
    default:
        return HttpTransportError::Kind::failed;
    }
}

bool holdsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view trimmedOws(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// State of one exchange, shared with libcurl's callbacks. Exceptions never
// cross libcurl's C frames: they are kept here and rethrown after the transfer.
struct Transfer {
    HttpResponseHandler& handler;
    std::stop_token stop;
    CURL* easy = nullptr;
    HttpHeaders headers;
    bool headDelivered = false;
    bool stoppedByHandler = false;
    std::exception_ptr error;

    void deliverHeadOnce() {
        if (headDelivered) {
            return;
        }
        headDelivered = true;
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        handler.onResponse(HttpResponseHead{static_cast<int>(status), headers});
    }
};

size_t onHeaderLine(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t length = size * count;
    try {
        const std::string_view line(data, length);
        if (line.starts_with("HTTP/")) {
            // A new response begins (after an interim 1xx one): only the last counts.
            transfer.headers = HttpHeaders();
        } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
            transfer.headers.add(std::string(trimmedOws(line.substr(0, colon))),
                                 std::string(trimmedOws(line.substr(colon + 1))));
        }
        return length;
    } catch (...) {
        transfer.error = std::current_exception();
        return 0;
    }
}

size_t onBodyBytes(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t length = size * count;
    try {
        transfer.deliverHeadOnce();
        if (!transfer.handler.onBody(std::string_view(data, length))) {
            transfer.stoppedByHandler = true;
            return CURL_WRITEFUNC_ERROR;
        }
        return length;
    } catch (...) {
        transfer.error = std::current_exception();
        return CURL_WRITEFUNC_ERROR;
    }
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto& transfer = *static_cast<Transfer*>(user);
    return transfer.stop.stop_requested() ? 1 : 0;
}

template <class Value> void setOption(CURL* easy, CURLoption option, Value value) {
    if (const CURLcode code = curl_easy_setopt(easy, option, value); code != CURLE_OK) {
        throw HttpTransportError(HttpTransportError::Kind::failed, static_cast<int>(code),
                                 curl_easy_strerror(code));
    }
}

void configureTimeouts(CURL* easy, std::chrono::duration<double> timeout,
                       std::chrono::duration<double> deadline) {
    if (const double total = deadline.count(); total > 0 && std::isfinite(total)) {
        setOption(easy, CURLOPT_TIMEOUT_MS, std::max(1L, std::lround(std::min(total, 1e6) * 1000)));
    }
    const double seconds = timeout.count();
    if (!(seconds > 0) || !std::isfinite(seconds)) {
        return;
    }
    const double bounded = std::min(seconds, 1e6);
    setOption(easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(1L, std::lround(bounded * 1000)));
    // An idle limit, never CURLOPT_TIMEOUT: a stream may last as long as it keeps talking.
    setOption(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    setOption(easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, std::lround(std::ceil(bounded))));
}

} // namespace

CurlHttpClient::CurlHttpClient() {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        throw std::runtime_error("libcurl could not be initialised");
    }
}

CurlHttpClient::~CurlHttpClient() {
    curl_global_cleanup();
}

void CurlHttpClient::send(const HttpRequest& request, HttpResponseHandler& handler,
                          std::stop_token stop) {
    throwIfCancelled(stop);
    if (request.url.find('\0') != std::string::npos) {
        throw std::invalid_argument("URL holds a NUL character");
    }

    // Outlives the handles: libcurl writes its failure text here.
    char errorText[CURL_ERROR_SIZE] = {};
    std::unique_ptr<curl_slist, ListDeleter> headerList;
    auto appendHeader = [&headerList](const std::string& line) {
        curl_slist* extended = curl_slist_append(headerList.get(), line.c_str());
        if (!extended) {
            throw std::bad_alloc();
        }
        (void)headerList.release();
        headerList.reset(extended);
    };
    for (const auto& [name, value] : request.headers) {
        if (name.empty() || holdsLineBreakOrNul(name) || holdsLineBreakOrNul(value) ||
            name.find(':') != std::string::npos) {
            throw std::invalid_argument("HTTP header field cannot be sent: " + name);
        }
        // "Name;" is libcurl's way of sending a field with an empty value.
        appendHeader(value.empty() ? name + ";" : name + ": " + value);
    }
    // Waiting for "100 Continue" before sending a body only adds a round trip.
    appendHeader("Expect:");

    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!easy || !multi) {
        throw HttpTransportError(HttpTransportError::Kind::failed, CURLE_FAILED_INIT,
                                 "libcurl handles could not be created");
    }

    Transfer transfer{handler, stop, easy.get(), {}, false, false, nullptr};

    CURL* e = easy.get();
    setOption(e, CURLOPT_URL, request.url.c_str());
    setOption(e, CURLOPT_PROTOCOLS_STR, "http,https");
    setOption(e, CURLOPT_FOLLOWLOCATION, 0L);
    setOption(e, CURLOPT_NOSIGNAL, 1L);
    setOption(e, CURLOPT_ERRORBUFFER, errorText);
    if (request.method == "GET") {
        setOption(e, CURLOPT_HTTPGET, 1L);
    } else {
        if (request.method != "POST") {
            setOption(e, CURLOPT_CUSTOMREQUEST, request.method.c_str());
        }
        setOption(e, CURLOPT_POST, 1L);
        setOption(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        setOption(e, CURLOPT_POSTFIELDS, request.body.data());
    }
    setOption(e, CURLOPT_HTTPHEADER, headerList.get());
    configureTimeouts(e, request.timeout, request.deadline);
    setOption(e, CURLOPT_HEADERFUNCTION, onHeaderLine);
    setOption(e, CURLOPT_HEADERDATA, &transfer);
    setOption(e, CURLOPT_WRITEFUNCTION, onBodyBytes);
    setOption(e, CURLOPT_WRITEDATA, &transfer);
    // A stop request aborts the transfer from inside libcurl ...
    setOption(e, CURLOPT_NOPROGRESS, 0L);
    setOption(e, CURLOPT_XFERINFOFUNCTION, onProgress);
    setOption(e, CURLOPT_XFERINFODATA, &transfer);

    if (curl_multi_add_handle(multi.get(), e) != CURLM_OK) {
        throw HttpTransportError(HttpTransportError::Kind::failed, CURLE_FAILED_INIT,
                                 "libcurl could not start the transfer");
    }
    struct Detach {
        CURLM* multi;
        CURL* easy;
        ~Detach() { curl_multi_remove_handle(multi, easy); }
    } detach{multi.get(), e};

    // ... and wakes the wait below, which may otherwise sleep up to a second
    // between progress calls while the line is idle.
    CURLM* m = multi.get();
    std::stop_callback wakeOnStop(stop, [m] { curl_multi_wakeup(m); });

    std::optional<CURLcode> result;
    while (!result) {
        int running = 0;
        if (const CURLMcode code = curl_multi_perform(m, &running); code != CURLM_OK) {
            throw HttpTransportError(HttpTransportError::Kind::failed, CURLE_FAILED_INIT,
                                     curl_multi_strerror(code));
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(m, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == e) {
                result = message->data.result;
            }
        }
        if (result) {
            break;
        }
        if (stop.stop_requested()) {
            if (transfer.error) {
                std::rethrow_exception(transfer.error);
            }
            throw CancellationError();
        }
        if (const CURLMcode code = curl_multi_poll(m, nullptr, 0, 1000, nullptr);
            code != CURLM_OK) {
            throw HttpTransportError(HttpTransportError::Kind::failed, CURLE_FAILED_INIT,
                                     curl_multi_strerror(code));
        }
    }

    if (transfer.error) {
        std::rethrow_exception(transfer.error);
    }
    if (*result == CURLE_OK) {
        transfer.deliverHeadOnce();
        return;
    }
    if (transfer.stoppedByHandler) {
        return;
    }
    if (stop.stop_requested()) {
        throw CancellationError();
    }
    const std::string detail = errorText[0] != '\0' ? errorText : curl_easy_strerror(*result);
    throw HttpTransportError(classify(*result), static_cast<int>(*result), detail);
}

} // namespace vexel::net
