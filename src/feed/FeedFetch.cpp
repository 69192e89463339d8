#include "feed/FeedFetch.h"

#include <QByteArray>

#include <fmt/format.h>

#include "feed/FeedUrl.h"
#include "imaging/PhotoIO.h"

namespace qp {

Error feedError(FeedErrorCode code, const std::string& description) {
    return Error(kFeedErrorDomain, code, {{kLocalizedDescriptionKey, description}});
}

std::optional<std::chrono::milliseconds> requestTimeout(const FeedLimits& limits,
                                                        const Clock& clock) {
    if (!limits.deadline) return limits.requestTimeout;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*limits.deadline -
                                                                            clock.monotonicNow());
    if (left.count() <= 0) return std::nullopt;
    return std::min(left, limits.requestTimeout);
}

namespace {

// The 2xx body at `url`, at most `maxBytes` long.
Result<std::string> fetchBody(HttpClient& http, const Clock& clock, const FeedLimits& limits,
                              const std::string& url, std::size_t maxBytes) {
    if (!isFeedUrl(url)) {
        return feedError(kFeedErrorNotAUrl, fmt::format("\"{}\" is not an http or https URL", url));
    }
    const std::optional<std::chrono::milliseconds> timeout = requestTimeout(limits, clock);
    if (!timeout) {
        return feedError(kFeedErrorPastDeadline,
                         fmt::format("{} was not fetched: the time allowed ran out", url));
    }
    HttpRequest request;
    request.url = url;
    request.timeout = *timeout;
    request.useCookies = false;
    request.maxResponseBytes = maxBytes;
    request.cancellation = limits.cancellation;
    Result<HttpResponse> response = http.send(request);
    if (!response.ok()) {
        return Error(kFeedErrorDomain, kFeedErrorUnreachable,
                     {{kLocalizedDescriptionKey, fmt::format("{} could not be fetched: {}", url,
                                                             response.error().description())}},
                     response.error());
    }
    if (response->statusCode < 200 || response->statusCode > 299) {
        return feedError(kFeedErrorStatus,
                         fmt::format("{} answered HTTP {}", url, response->statusCode));
    }
    return std::move(response->body);
}

}  // namespace

Result<PlistDictionary> fetchPropertyListDictionary(HttpClient& http, const Clock& clock,
                                                    const FeedLimits& limits,
                                                    const std::string& url) {
    Result<std::string> body = fetchBody(http, clock, limits, url, limits.maxPlistBytes);
    if (!body.ok()) return body.error();
    Result<PlistValue> plist = parsePropertyList(*body);
    if (!plist.ok()) {
        return feedError(kFeedErrorNotAPlist, fmt::format("{} is not a property list ({})", url,
                                                          plist.error().description()));
    }
    if (!plist->isDictionary()) {
        return feedError(
            kFeedErrorWrongShape,
            fmt::format("{} is a property list, but its root is not a dictionary", url));
    }
    return plist->dictionaryValue();
}

Result<Image> fetchImage(HttpClient& http, const Clock& clock, const FeedLimits& limits,
                         const std::string& url) {
    Result<std::string> body = fetchBody(http, clock, limits, url, limits.maxImageBytes);
    if (!body.ok()) return body.error();
    DecodeOptions options;
    options.maxPixels = limits.maxImagePixels;
    Result<Image> image =
        decodePhoto(QByteArray(body->data(), static_cast<qsizetype>(body->size())), options);
    if (!image.ok()) {
        return Error(kFeedErrorDomain, kFeedErrorImageUnreadable,
                     {{kLocalizedDescriptionKey, fmt::format("{} is not a usable image: {}", url,
                                                             image.error().description())}},
                     image.error());
    }
    return image;
}

}  // namespace qp
