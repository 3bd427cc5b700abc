#include "infrastructure/network/ClaudeAPIClient.h"

#include "foundation/CancellationError.h"
#include "foundation/JsonReader.h"
#include "infrastructure/network/RetryAfter.h"
#include "infrastructure/network/SSELineParser.h"
#include "platform/net/HttpTransportError.h"
#include "platform/net/HttpURL.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace vexel {

namespace {

constexpr std::string_view requestPath = "/chat/messages";

// JSON has no NaN or infinity; refuse them rather than send null in their place.
void requireFiniteNumbers(const Json& root) {
    std::vector<const Json*> pending{&root};
    while (!pending.empty()) {
        const Json* value = pending.back();
        pending.pop_back();
        if (value->is_number_float() && !std::isfinite(value->get<double>())) {
            throw std::invalid_argument("Invalid number value in JSON write");
        }
        if (value->is_structured()) {
            for (const auto& child : *value) {
                pending.push_back(&child);
            }
        }
    }
}

bool canBeHeaderValue(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// How failures of the HTTP layer read to the callers of the transport:
//   timedOut        -> networkError("Request timed out")
//   connectionLost  -> networkDisconnected
//   invalidResponse -> networkError("Invalid response type")
//   failed          -> networkError("Connection failed (code: N)"), N the libcurl code
APIClientError mapTransportError(const net::HttpTransportError& error) {
    using Kind = net::HttpTransportError::Kind;
    switch (error.kind()) {
    case Kind::timedOut:
        return APIClientError::networkError("Request timed out");
    case Kind::connectionLost:
        return APIClientError::networkDisconnected();
    case Kind::invalidResponse:
        return APIClientError::networkError("Invalid response type");
    case Kind::failed:
        break;
    }
    return APIClientError::networkError("Connection failed (code: " + std::to_string(error.code()) +
                                        ")");
}

// The "type" of a refused request's {"error": {"type": ...}} body, else "unknown".
std::string parseErrorType(const std::string& body) {
    const Json parsed = json::tryParse(body).value_or(Json());
    if (parsed.is_object()) {
        const auto error = parsed.find("error");
        if (error != parsed.end() && error->is_object()) {
            const auto type = error->find("type");
            if (type != error->end() && type->is_string()) {
                return type->get<std::string>();
            }
        }
    }
    return "unknown";
}

bool isSuccess(int status) {
    return status >= 200 && status <= 299;
}

APIClientError plainStatusError(const net::HttpResponseHead& head, const std::string& body) {
    const int status = head.statusCode;
    if (status == 429) {
        const auto header = head.headers.value("Retry-After");
        return APIClientError::rateLimited(header ? parseRetryAfter(*header) : std::nullopt);
    }
    if (status == 403) {
        return APIClientError::forbidden(parseErrorType(body));
    }
    if (status == 401) {
        return APIClientError::unauthorized();
    }
    if (status >= 500 && status <= 599) {
        return APIClientError::serverError(status);
    }
    return APIClientError::invalidResponse(status);
}

// A stream's status is decided before its body is read, so a refused stream
// carries no error type and no server-given delay.
void checkStreamResponseStatus(int status) {
    if (isSuccess(status)) {
        return;
    }
    if (status == 429) {
        throw APIClientError::rateLimited(std::nullopt);
    }
    if (status == 403) {
        throw APIClientError::forbidden("unknown");
    }
    if (status == 401) {
        throw APIClientError::unauthorized();
    }
    if (status >= 500 && status <= 599) {
        throw APIClientError::serverError(status);
    }
    throw APIClientError::invalidResponse(status);
}

int retryLimit(APIClientError::Kind kind) {
    switch (kind) {
    case APIClientError::Kind::rateLimited:
        return 3;
    case APIClientError::Kind::serverError:
        return 2;
    default:
        return 0;
    }
}

// A whole reply is read into memory; one that never ends must not take all of
// it. The limit is that of one event of a streamed reply.
constexpr std::size_t maxBodyBytes = SSELineParser::defaultMaxLineLength;

class BodyCollector final : public net::HttpResponseHandler {
public:
    void onResponse(const net::HttpResponseHead& head) override { head_ = head; }
    bool onBody(std::string_view bytes) override {
        if (bytes.size() > maxBodyBytes - body_.size()) {
            throw APIClientError::networkError("Response body larger than " +
                                               std::to_string(maxBodyBytes) + " bytes");
        }
        body_.append(bytes);
        return true;
    }

    const net::HttpResponseHead& head() const { return head_; }
    std::string& body() { return body_; }

private:
    net::HttpResponseHead head_;
    std::string body_;
};

class EventForwarder final : public net::HttpResponseHandler {
public:
    explicit EventForwarder(AsyncChannelWriter<SSELine>& out)
        : out_(out) {}

    void onResponse(const net::HttpResponseHead& head) override {
        checkStreamResponseStatus(head.statusCode);
        statusChecked_ = true;
    }

    bool onBody(std::string_view bytes) override {
        // Ending the transfer at "[DONE]" is a normal end: the rest is not read.
        return parser_.feed(bytes, [this](SSELine line) { out_.send(std::move(line)); });
    }

    bool statusChecked() const { return statusChecked_; }
    SSELineParser& parser() { return parser_; }

private:
    AsyncChannelWriter<SSELine>& out_;
    SSELineParser parser_;
    bool statusChecked_ = false;
};

bool isUnauthorized(const APIClientError& error) {
    return error.kind() == APIClientError::Kind::unauthorized;
}

} // namespace

ClaudeAPIClient::ClaudeAPIClient(std::shared_ptr<net::HttpClient> session,
                                 AccessTokenOperation provider, AccessTokenOperation onUnauthorized,
                                 std::string baseURL, std::optional<std::string> model,
                                 int maxTokens, double timeoutInterval, double retryBaseDelay,
                                 std::shared_ptr<Sleeper> sleeper)
    : session_(std::move(session))
    , provider_(std::move(provider))
    , onUnauthorized_(std::move(onUnauthorized))
    , baseURL_(std::move(baseURL))
    , model_(std::move(model))
    , maxTokens_(maxTokens)
    , timeoutInterval_(timeoutInterval)
    , retryBaseDelay_(retryBaseDelay)
    , sleeper_(std::move(sleeper)) {
    if (!session_ || !provider_ || !onUnauthorized_ || !sleeper_) {
        throw std::invalid_argument("ClaudeAPIClient needs a session, both token operations and "
                                    "a sleeper");
    }
}

std::string ClaudeAPIClient::buildProxyBody(const std::string& systemPrompt,
                                            const std::vector<Json>& messages,
                                            const std::vector<Json>& tools, bool stream) const {
    Json body = Json::object();
    body["max_tokens"] = maxTokens_;
    body["system"] = systemPrompt;
    body["messages"] = Json::array();
    for (const Json& message : messages) {
        body["messages"].push_back(message);
    }
    if (!tools.empty()) {
        body["tools"] = Json::array();
        for (const Json& tool : tools) {
            body["tools"].push_back(tool);
        }
        body["tool_choice"] = Json{{"type", "auto"}};
    }
    if (stream) {
        body["stream"] = true;
    }
    requireFiniteNumbers(body);
    // Whatever text a project holds, a request must still go out: a byte that is
    // not UTF-8 is written as U+FFFD rather than failing the whole request.
    return body.dump(-1, ' ', false, Json::error_handler_t::replace);
}

net::HttpRequest ClaudeAPIClient::buildProxyRequest(const std::string& token,
                                                    std::string bodyData) const {
    std::string url = baseURL_ + std::string(requestPath);
    if (!net::isValidHttpURL(url)) {
        throw APIClientError::invalidURL(std::move(url));
    }
    // A token that cannot travel in a header is as good as a refused one.
    if (!canBeHeaderValue(token)) {
        throw APIClientError::unauthorized();
    }
    net::HttpRequest request;
    request.method = "POST";
    request.url = std::move(url);
    request.headers = {{"content-type", "application/json"}, {"Authorization", "Bearer " + token}};
    request.body = std::move(bodyData);
    request.timeout = std::chrono::duration<double>(timeoutInterval_);
    return request;
}

std::string ClaudeAPIClient::sendToolUseMessage(const std::string& systemPrompt,
                                                const std::vector<Json>& messages,
                                                const std::vector<Json>& tools,
                                                std::stop_token stop) {
    const std::string token = provider_(stop);
    std::string body = buildProxyBody(systemPrompt, messages, tools, false);
    try {
        return performWithRetry(buildProxyRequest(token, body), stop);
    } catch (const APIClientError& error) {
        if (!isUnauthorized(error)) {
            throw;
        }
    }
    const std::string freshToken = onUnauthorized_(stop);
    return performWithRetry(buildProxyRequest(freshToken, std::move(body)), stop);
}

std::string ClaudeAPIClient::performWithRetry(const net::HttpRequest& request,
                                              std::stop_token stop) const {
    for (int attempt = 0;; ++attempt) {
        try {
            return performRequest(request, stop);
        } catch (const APIClientError& error) {
            const int limit = retryLimit(error.kind());
            if (limit == 0 || attempt >= limit) {
                throw;
            }
            throwIfCancelled(stop);
            sleeper_->sleepFor(std::chrono::duration<double>(retryDelay(error, attempt)), stop);
        }
    }
}

double ClaudeAPIClient::retryDelay(const APIClientError& error, int attempt) const {
    if (error.kind() == APIClientError::Kind::rateLimited && error.retryAfter()) {
        return std::min(retryBaseDelay_, 1.0) * std::clamp(*error.retryAfter(), 0.1, 30.0);
    }
    return std::min(retryBaseDelay_ * std::ldexp(1.0, attempt), 30.0);
}

std::string ClaudeAPIClient::performRequest(const net::HttpRequest& request,
                                            std::stop_token stop) const {
    BodyCollector collector;
    try {
        session_->send(request, collector, stop);
    } catch (const net::HttpTransportError& error) {
        throw mapTransportError(error);
    }
    if (isSuccess(collector.head().statusCode)) {
        return std::move(collector.body());
    }
    throw plainStatusError(collector.head(), collector.body());
}

AsyncStream<SSELine> ClaudeAPIClient::streamToolUseMessage(const std::string& systemPrompt,
                                                           const std::vector<Json>& messages,
                                                           const std::vector<Json>& tools) {
    std::string body;
    try {
        body = buildProxyBody(systemPrompt, messages, tools, true);
    } catch (...) {
        return AsyncStream<SSELine>::failed(std::current_exception());
    }
    return AsyncStream<SSELine>([client = *this, body = std::move(body)](
                                    AsyncChannelWriter<SSELine>& out, std::stop_token stop) {
        client.runStream(body, out, stop);
    });
}

void ClaudeAPIClient::runStream(const std::string& body, AsyncChannelWriter<SSELine>& out,
                                std::stop_token stop) const {
    try {
        streamAttempt(provider_(stop), body, out, stop);
        return;
    } catch (const APIClientError& error) {
        if (!isUnauthorized(error)) {
            throw;
        }
    }
    streamAttempt(onUnauthorized_(stop), body, out, stop);
}

void ClaudeAPIClient::streamAttempt(const std::string& token, const std::string& body,
                                    AsyncChannelWriter<SSELine>& out, std::stop_token stop) const {
    const net::HttpRequest request = buildProxyRequest(token, body);
    EventForwarder forwarder(out);
    try {
        session_->send(request, forwarder, stop);
    } catch (const net::HttpTransportError& error) {
        // Once lines flow, a failure reaches the consumer as the HTTP layer raised it.
        if (forwarder.statusChecked()) {
            throw;
        }
        throw mapTransportError(error);
    }
    if (auto last = forwarder.parser().finish()) {
        out.send(std::move(*last));
    }
}

} // namespace vexel
