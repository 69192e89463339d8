#include "facebook/FBRequest.h"

#include <algorithm>

#include "facebook/FBText.h"
#include "platform/Log.h"

namespace qp {

std::shared_ptr<FBRequest> FBRequest::getRequestWithParamsHttpMethodDelegateRequestURL(
    FBParams params, std::string httpMethod, FBRequestDelegate* delegate, std::string url,
    HttpClient& client) {
    return std::make_shared<FBRequest>(std::move(params), std::move(httpMethod), delegate,
                                       std::move(url), client);
}

FBRequest::FBRequest(FBParams params, std::string httpMethod, FBRequestDelegate* delegate,
                     std::string url, HttpClient& client)
    : m_delegate(delegate),
      m_url(std::move(url)),
      m_httpMethod(std::move(httpMethod)),
      m_params(std::move(params)),
      m_client(client) {}

FBRequest::~FBRequest() {
    // Destroying the task cancels it: nothing reaches this request afterwards.
    m_connection.reset();
}

void FBRequest::connect() {
    if (m_delegate) m_delegate->requestLoading(*this);

    const std::string url = serializeURL(m_url, m_params, m_httpMethod);
    HttpRequest request;
    request.url = url;
    request.method = m_httpMethod;
    request.timeout = m_timeout;
    request.setHeader(kFBUserAgentHeader, kFBUserAgent);
    if (m_httpMethod == kFBHttpMethodPost) {
        request.setHeader(kFBContentTypeHeader,
                          fillFormat(kFBContentTypeFormat, {kFBMultipartBoundary}));
        request.body = generatePostBody();
    }
    logf("FBRequest: {} {}", m_httpMethod, redactedURL(url));

    m_selfWhileLoading = weak_from_this().lock();
    m_connection = m_client.start(request, this);
    setState(kStateLoading);
    m_sessionDidExpire = false;
}

void FBRequest::cancel() {
    if (!m_connection) return;
    m_connection->cancel();
    auto keepAlive = std::move(m_selfWhileLoading);
    finish();
}

void FBRequest::didReceiveResponse(const HttpResponse& headersOnly) {
    // A later header block (after a redirect, say) discards what came before it.
    m_responseText.clear();
    if (m_delegate) m_delegate->requestDidReceiveResponse(*this, headersOnly);
}

void FBRequest::didReceiveData(const std::string& chunk) {
    m_responseText += chunk;
}

void FBRequest::didFinish() {
    auto keepAlive = std::move(m_selfWhileLoading);
    const std::string body = std::move(m_responseText);
    handleResponseData(body);
    finish();
}

void FBRequest::didFail(const Error& error) {
    auto keepAlive = std::move(m_selfWhileLoading);
    failWithError(error);
    finish();
}

void FBRequest::finish() {
    m_responseText.clear();
    m_responseText.shrink_to_fit();
    m_connection.reset();
    setState(kStateFinished);
}

void FBRequest::handleResponseData(const std::string& data) {
    if (m_delegate) m_delegate->requestDidLoadRawResponse(*this, data);

    Decoded decoded = parseJsonResponse(data);
    m_error = decoded.error;

    if (!m_delegate || !m_delegate->takesRequestResults()) return;
    if (decoded.error) {
        failWithError(*decoded.error);
    } else {
        m_delegate->requestDidLoad(*this, decoded.result);
    }
}

void FBRequest::failWithError(const Error& error) {
    if (error.code() == kFBExpiredSessionErrorCode) m_sessionDidExpire = true;
    if (m_delegate) m_delegate->requestDidFailWithError(*this, error);
}

void FBRequest::addStateObserver(const std::string& context, StateObserver observer) {
    removeStateObserver(context);
    m_stateObservers.emplace_back(context, std::move(observer));
}

void FBRequest::removeStateObserver(const std::string& context) {
    std::erase_if(m_stateObservers, [&](const auto& entry) { return entry.first == context; });
}

void FBRequest::setState(State state) {
    m_state = state;
    // Observers may remove themselves (or drop the request) while being told.
    auto keepAlive = weak_from_this().lock();
    const auto observers = m_stateObservers;
    for (const auto& told : observers) {
        const bool stillObserving =
            std::any_of(m_stateObservers.begin(), m_stateObservers.end(),
                        [&](const auto& entry) { return entry.first == told.first; });
        if (stillObserving) told.second(*this, told.first);
    }
}

}  // namespace qp
