// Decoding an answer of the social network into a result and/or an error.

#include "facebook/FBJson.h"
#include "facebook/FBRequest.h"
#include "json/ZelJSON.h"
#include "platform/TextEncoding.h"

namespace qp {

namespace {

constexpr std::string_view kTrueBody = "true";
constexpr std::string_view kFalseBody = "false";
constexpr const char* kResultKey = "result";
constexpr const char* kErrorKey = "error";
constexpr const char* kErrorCodeKey = "error_code";
constexpr const char* kErrorMsgKey = "error_msg";
constexpr const char* kErrorReasonKey = "error_reason";
constexpr const char* kOperationFailedMessage = "This operation can not be completed";

}  // namespace

Error FBRequest::formError(int code, Error::Details userInfo) {
    return Error(kFBErrorDomain, code, std::move(userInfo));
}

FBRequest::Decoded FBRequest::parseJsonResponse(std::string_view data) {
    Decoded decoded;
    if (data == kTrueBody) {
        JsonValue::Object object;
        object.set(kResultKey, JsonValue(kTrueBody));
        decoded.result = JsonValue(std::move(object));
        return decoded;
    }
    if (data == kFalseBody) {
        decoded.error = formError(kFBGenericErrorCode, {{kErrorMsgKey, kOperationFailedMessage}});
        return decoded;
    }
    // Bytes that are not UTF-8 are no text at all.
    if (validUtf8Length(data) != data.size()) return decoded;

    ZelJSON reader;
    std::optional<JsonValue> parsed = reader.objectWithString(data);
    if (!parsed) {
        decoded.result = JsonValue(data);
        return decoded;
    }
    const JsonValue::Object* object = parsed->object();
    if (!object) {
        decoded.result = std::move(parsed);
        return decoded;
    }
    if (object->contains(kErrorKey)) {
        decoded.error = formError(kFBGenericErrorCode, fbErrorDetails(*object));
        return decoded;
    }
    if (const JsonValue* code = object->find(kErrorCodeKey)) {
        decoded.error = formError(fbIntValue(*code), fbErrorDetails(*object));
        return decoded;
    }
    if (object->contains(kErrorMsgKey) || object->contains(kErrorReasonKey)) {
        decoded.error = formError(kFBGenericErrorCode, fbErrorDetails(*object));
    }
    decoded.result = std::move(parsed);
    return decoded;
}

}  // namespace qp
