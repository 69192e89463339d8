#pragma once
// One HTTP exchange with the social network: a base URL, a method and a
// parameter map become a request (query string and, for "POST", a multipart
// body); the answer is collected, decoded into an object or an error, and each
// stage is reported to the delegate. Runs on the main thread through the
// asynchronous HttpClient.
//
// Ownership: make requests with getRequestWithParamsHttpMethodDelegateRequestURL
// (a shared_ptr). While it is loading the request also holds itself, as the
// running connection did, so it finishes even when every other owner lets go;
// cancel() ends it early without a further delegate call. A request owned
// any other way is cancelled when it is destroyed.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "facebook/FBParams.h"
#include "facebook/FBRequestDelegate.h"
#include "json/JsonValue.h"
#include "platform/Error.h"
#include "platform/HttpClient.h"

namespace qp {

inline constexpr const char* kFBMultipartBoundary = "3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f";
inline constexpr const char* kFBUserAgentHeader = "User-Agent";
inline constexpr const char* kFBUserAgent = "FacebookConnect";
inline constexpr const char* kFBContentTypeHeader = "Content-Type";
inline constexpr const char* kFBContentTypeFormat = "multipart/form-data; boundary=%@";
inline constexpr std::chrono::milliseconds kFBTimeoutInterval{180000};
// Besides what URLs never allow, these are escaped in query values.
inline constexpr const char* kFBEscapedCharacters = "!*'();:@&=+$,/?%#[]";
inline constexpr const char* kFBErrorDomain = "facebookErrDomain";
inline constexpr int kFBGenericErrorCode = 10000;
inline constexpr int kFBExpiredSessionErrorCode = 190;
inline constexpr const char* kFBStateKeyPath = "state";
inline constexpr const char* kFBHttpMethodGet = "GET";
inline constexpr const char* kFBHttpMethodPost = "POST";
inline constexpr const char* kFBLogGetWithFile = "can not use GET to upload a file";
// Stands in for an access token in every logged URL.
inline constexpr const char* kFBRedactedToken = "<redacted>";

class FBRequest : public std::enable_shared_from_this<FBRequest>, private HttpRequestObserver {
public:
    using State = std::uint32_t;
    static constexpr State kStateNotStarted = 0;
    static constexpr State kStateLoading = 1;
    static constexpr State kStateFinished = 2;

    // Called after every change of `state`, once the delegate has been told.
    using StateObserver = std::function<void(FBRequest& request, const std::string& context)>;

    // A new request, not started. `client` must outlive it.
    static std::shared_ptr<FBRequest> getRequestWithParamsHttpMethodDelegateRequestURL(
        FBParams params, std::string httpMethod, FBRequestDelegate* delegate, std::string url,
        HttpClient& client);

    FBRequest(FBParams params, std::string httpMethod, FBRequestDelegate* delegate, std::string url,
              HttpClient& client);
    ~FBRequest() override;
    FBRequest(const FBRequest&) = delete;
    FBRequest& operator=(const FBRequest&) = delete;

    // The full URL: `url`, "?" or "&" (when it already has a query), then the
    // text parameters as key=escaped-value pairs joined by "&". File values
    // are left out (logged for "GET").
    static std::string serializeURL(std::string_view url, const FBParams& params);
    static std::string serializeURL(std::string_view url, const FBParams& params,
                                    std::string_view httpMethod);
    // `url` with the value of every "access_token" pair replaced, for logs.
    static std::string redactedURL(std::string_view url);

    // The multipart body: text parts, then file parts, no closing delimiter.
    std::string generatePostBody() const;
    static std::string generatePostBody(const FBParams& params);

    // Decodes an answer body into a result and/or an error.
    struct Decoded {
        std::optional<JsonValue> result;
        std::optional<Error> error;
    };
    static Decoded parseJsonResponse(std::string_view data);
    static Error formError(int code, Error::Details userInfo);

    // Starts the exchange.
    void connect();
    // Stops a running exchange; no delegate call follows. The state becomes
    // finished so that observers let go of the request.
    void cancel();

    // The steps of an answer, public so that they can be driven directly.
    void handleResponseData(const std::string& data);
    void failWithError(const Error& error);
    static void utfAppendBody(std::string& body, std::string_view text) { body.append(text); }

    FBRequestDelegate* delegate() const { return m_delegate; }
    void setDelegate(FBRequestDelegate* delegate) { m_delegate = delegate; }
    const std::string& url() const { return m_url; }
    const std::string& httpMethod() const { return m_httpMethod; }
    const FBParams& params() const { return m_params; }
    FBParams& params() { return m_params; }
    const std::string& responseText() const { return m_responseText; }
    State state() const { return m_state; }
    const std::optional<Error>& error() const { return m_error; }
    bool sessionDidExpire() const { return m_sessionDidExpire; }
    bool loading() const { return m_connection != nullptr; }

    // The idle time after which a silent server fails the request.
    std::chrono::milliseconds timeout() const { return m_timeout; }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    void addStateObserver(const std::string& context, StateObserver observer);
    void removeStateObserver(const std::string& context);

private:
    // The connection's events.
    void didReceiveResponse(const HttpResponse& headersOnly) override;
    void didReceiveData(const std::string& chunk) override;
    void didFinish() override;
    void didFail(const Error& error) override;

    void setState(State state);
    // Drops the body and the connection and marks the request finished.
    void finish();

    FBRequestDelegate* m_delegate = nullptr;  // not owned
    std::string m_url;
    std::string m_httpMethod;
    FBParams m_params;
    std::unique_ptr<HttpTask> m_connection;
    std::string m_responseText;
    State m_state = kStateNotStarted;
    std::optional<Error> m_error;
    bool m_sessionDidExpire = false;

    HttpClient& m_client;
    std::chrono::milliseconds m_timeout = kFBTimeoutInterval;
    std::shared_ptr<FBRequest> m_selfWhileLoading;
    std::vector<std::pair<std::string, StateObserver>> m_stateObservers;
};

}  // namespace qp
