// The request's URL and multipart body: pure functions of the parameters.

#include "facebook/FBRequest.h"
#include "facebook/FBText.h"
#include "imaging/PhotoIO.h"
#include "platform/Log.h"

namespace qp {

namespace {

constexpr const char* kQuerySeparator = "?";
constexpr const char* kPairSeparator = "&";
constexpr const char* kPairFormat = "%@=%@";
constexpr const char* kURLFormat = "%@%@%@";

constexpr const char* kOpeningLineFormat = "--%@\r\n";
constexpr const char* kEndLineFormat = "\r\n--%@\r\n";
constexpr const char* kTextDispositionFormat =
    "Content-Disposition: form-data; name=\"%@\"\r\n\r\n";
constexpr const char* kFileDispositionFormat =
    "Content-Disposition: form-data; filename=\"%@\"\r\n";
constexpr const char* kImageContentType = "Content-Type: image/png\r\n\r\n";
constexpr const char* kDataContentType = "Content-Type: content/unknown\r\n\r\n";

constexpr std::string_view kAccessTokenPair = "access_token=";

// Whether `url` already carries a query: a "?" before any fragment.
bool hasQuery(std::string_view url) {
    const std::size_t question = url.find('?');
    return question != std::string_view::npos && question < url.find('#');
}

}  // namespace

std::string FBRequest::serializeURL(std::string_view url, const FBParams& params) {
    return serializeURL(url, params, kFBHttpMethodGet);
}

std::string FBRequest::serializeURL(std::string_view url, const FBParams& params,
                                    std::string_view httpMethod) {
    const char* separator = hasQuery(url) ? kPairSeparator : kQuerySeparator;
    std::string pairs;
    for (const auto& [key, value] : params) {
        const std::string* text = std::get_if<std::string>(&value);
        if (!text) {
            if (httpMethod == kFBHttpMethodGet) logLine(kFBLogGetWithFile);
            continue;
        }
        if (!pairs.empty()) pairs += kPairSeparator;
        pairs += fillFormat(kPairFormat, {key, percentEscape(*text)});
    }
    return fillFormat(kURLFormat, {url, separator, pairs});
}

std::string FBRequest::redactedURL(std::string_view url) {
    std::string out(url);
    std::size_t from = 0;
    while ((from = out.find(kAccessTokenPair, from)) != std::string::npos) {
        const bool startsPair =
            from > 0 && (out[from - 1] == '?' || out[from - 1] == '&' || out[from - 1] == '#');
        const std::size_t valueStart = from + kAccessTokenPair.size();
        if (!startsPair) {
            from = valueStart;
            continue;
        }
        std::size_t valueEnd = out.find_first_of("&#", valueStart);
        if (valueEnd == std::string::npos) valueEnd = out.size();
        out.replace(valueStart, valueEnd - valueStart, kFBRedactedToken);
        from = valueStart;
    }
    return out;
}

std::string FBRequest::generatePostBody() const {
    return generatePostBody(m_params);
}

std::string FBRequest::generatePostBody(const FBParams& params) {
    const std::string endLine = fillFormat(kEndLineFormat, {kFBMultipartBoundary});
    std::string body;
    utfAppendBody(body, fillFormat(kOpeningLineFormat, {kFBMultipartBoundary}));

    std::vector<const FBParams::value_type*> files;
    for (const auto& entry : params) {
        const std::string* text = std::get_if<std::string>(&entry.second);
        if (!text) {
            files.push_back(&entry);
            continue;
        }
        utfAppendBody(body, fillFormat(kTextDispositionFormat, {entry.first}));
        utfAppendBody(body, *text);
        utfAppendBody(body, endLine);
    }

    for (const FBParams::value_type* entry : files) {
        utfAppendBody(body, fillFormat(kFileDispositionFormat, {entry->first}));
        if (const Image* image = std::get_if<Image>(&entry->second)) {
            utfAppendBody(body, kImageContentType);
            Result<QByteArray> png = pngRepresentation(*image);
            if (png.ok()) {
                body.append(png->constData(), static_cast<std::size_t>(png->size()));
            } else {
                // The part goes out empty; the service answers with its own error.
                logf("FBRequest: the image \"{}\" could not be encoded as PNG: {}", entry->first,
                     png.error().toString());
            }
        } else if (const FBData* data = std::get_if<FBData>(&entry->second)) {
            utfAppendBody(body, kDataContentType);
            body.append(data->bytes);
        }
        utfAppendBody(body, endLine);
    }
    return body;
}

}  // namespace qp
