#pragma once
// What a request reports to whoever asked for it. Every operation does
// nothing unless overridden.

#include <optional>
#include <string>

#include "json/JsonValue.h"
#include "platform/Error.h"
#include "platform/HttpClient.h"

namespace qp {

class FBRequest;

class FBRequestDelegate {
public:
    virtual ~FBRequestDelegate() = default;

    // At the start of connect, before anything is sent.
    virtual void requestLoading(FBRequest& /*request*/) {}
    // For every header block of the answer.
    virtual void requestDidReceiveResponse(FBRequest& /*request*/,
                                           const HttpResponse& /*response*/) {}
    // The complete answer body, before it is decoded.
    virtual void requestDidLoadRawResponse(FBRequest& /*request*/, const std::string& /*data*/) {}
    // The decoded answer: a map, a list, a string, or none.
    virtual void requestDidLoad(FBRequest& /*request*/,
                                const std::optional<JsonValue>& /*result*/) {}
    // A decoded service error or a transport failure.
    virtual void requestDidFailWithError(FBRequest& /*request*/, const Error& /*error*/) {}

    // Whether this delegate takes results (requestDidLoad or
    // requestDidFailWithError). One that only watches the raw answer says
    // no; the request then stops after the raw bytes, and an expired-session
    // answer does not mark the request.
    virtual bool takesRequestResults() const { return true; }
};

}  // namespace qp
