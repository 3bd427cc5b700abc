#pragma once

#include <exception>
#include <string>

namespace vexel {

// Why the access-token provider could not hand out a token. It reaches whoever
// called the transport as it was thrown, so that the chat can tell a session
// that must be restarted from a connection that may recover.
class AuthenticationError : public std::exception {
public:
    enum class Kind {
        networkError,       // the token service could not be reached
        unexpectedResponse, // it answered with a status it should not have
        serverError,        // it failed on its side
        tokenExpired,       // the session is over
        tokenInvalid,       // the token was refused as not genuine
        // The backend refused the token the user configured, and no other is
        // configured to renew it with: only the user can mend it.
        configuredTokenRefused,
    };

    static AuthenticationError networkError();
    static AuthenticationError unexpectedResponse(int statusCode);
    static AuthenticationError serverError();
    static AuthenticationError tokenExpired();
    static AuthenticationError tokenInvalid();
    static AuthenticationError configuredTokenRefused();

    Kind kind() const { return kind_; }
    // The status of unexpectedResponse; 0 otherwise.
    int statusCode() const { return statusCode_; }

    // Whether only a new session helps (the token expired or is invalid).
    bool needsNewSession() const {
        return kind_ == Kind::tokenExpired || kind_ == Kind::tokenInvalid;
    }

    // The case name, with the status of unexpectedResponse: never a token.
    const std::string& logSafeDescription() const { return logSafeDescription_; }
    const char* what() const noexcept override { return logSafeDescription_.c_str(); }

    friend bool operator==(const AuthenticationError& a, const AuthenticationError& b) {
        return a.kind_ == b.kind_ && a.statusCode_ == b.statusCode_;
    }

private:
    AuthenticationError(Kind kind, int statusCode);

    Kind kind_;
    int statusCode_;
    std::string logSafeDescription_;
};

} // namespace vexel
