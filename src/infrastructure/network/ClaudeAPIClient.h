#pragma once

#include "foundation/Sleeper.h"
#include "infrastructure/network/APIClient.h"
#include "infrastructure/network/APIClientError.h"
#include "platform/net/HttpClient.h"
#include "platform/net/HttpRequest.h"

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

namespace vexel {

// Hands out a bearer token for the backend. May throw; its failure reaches the
// caller of the client unchanged.
using AccessTokenOperation = std::function<std::string(std::stop_token)>;

// The transport to the assistant backend: one POST to "<baseURL>/chat/messages"
// with a bearer token; rate limits and server errors of plain requests are
// retried with back-off, and a refused token is renewed once. An immutable
// value: every call asks for a token and keeps nothing afterwards.
class ClaudeAPIClient final : public APIClient {
public:
    // `provider` gives the current token; `onUnauthorized` a fresh one after the
    // backend refused a token. Delays and time-outs are in seconds.
    ClaudeAPIClient(std::shared_ptr<net::HttpClient> session, AccessTokenOperation provider,
                    AccessTokenOperation onUnauthorized, std::string baseURL,
                    std::optional<std::string> model, int maxTokens, double timeoutInterval,
                    double retryBaseDelay, std::shared_ptr<Sleeper> sleeper);

    std::string sendToolUseMessage(const std::string& systemPrompt,
                                   const std::vector<Json>& messages,
                                   const std::vector<Json>& tools, std::stop_token stop) override;

    AsyncStream<SSELine> streamToolUseMessage(const std::string& systemPrompt,
                                              const std::vector<Json>& messages,
                                              const std::vector<Json>& tools) override;

    // The serialised request body. Throws std::invalid_argument for a number that
    // JSON cannot hold (NaN, infinity); a byte that is not UTF-8 goes as U+FFFD.
    std::string buildProxyBody(const std::string& systemPrompt, const std::vector<Json>& messages,
                               const std::vector<Json>& tools, bool stream) const;

    // Throws APIClientError::invalidURL when the base URL plus path is not a URL.
    net::HttpRequest buildProxyRequest(const std::string& token, std::string bodyData) const;

    const std::string& baseURL() const { return baseURL_; }
    const std::optional<std::string>& model() const { return model_; }
    int maxTokens() const { return maxTokens_; }
    double timeoutInterval() const { return timeoutInterval_; }
    double retryBaseDelay() const { return retryBaseDelay_; }

private:
    std::string performWithRetry(const net::HttpRequest& request, std::stop_token stop) const;
    std::string performRequest(const net::HttpRequest& request, std::stop_token stop) const;
    double retryDelay(const APIClientError& error, int attempt) const;
    void runStream(const std::string& body, AsyncChannelWriter<SSELine>& out,
                   std::stop_token stop) const;
    void streamAttempt(const std::string& token, const std::string& body,
                       AsyncChannelWriter<SSELine>& out, std::stop_token stop) const;

    std::shared_ptr<net::HttpClient> session_;
    AccessTokenOperation provider_;
    AccessTokenOperation onUnauthorized_;
    std::string baseURL_;
    std::optional<std::string> model_;
    int maxTokens_;
    double timeoutInterval_;
    double retryBaseDelay_;
    std::shared_ptr<Sleeper> sleeper_;
};

} // namespace vexel
