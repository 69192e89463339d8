#pragma once
// The feed's two kinds of download, run synchronously on the calling thread:
// a property-list dictionary and an image. Every way they can fail (no URL,
// no answer, an error status, an HTML page instead of a property list, the
// wrong root, a body or picture too large, damaged pixels, the deadline)
// is an error whose description says which URL and what was wrong.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "imaging/Image.h"
#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/Result.h"
#include "platform/plist/PropertyList.h"

namespace qp {

inline constexpr const char* kFeedErrorDomain = "qp.feed";
enum FeedErrorCode {
    kFeedErrorNotAUrl = 1,          // not an absolute http or https URL
    kFeedErrorUnreachable = 2,      // no answer (the HTTP client's error is underlying)
    kFeedErrorStatus = 3,           // the server answered with a non-2xx status
    kFeedErrorNotAPlist = 4,        // the body is not a property list
    kFeedErrorWrongShape = 5,       // a property list, but not of the expected shape
    kFeedErrorImageUnreadable = 6,  // not a picture, damaged, or too many pixels
    kFeedErrorPastDeadline = 7,     // the overall time limit ran out first
};

// How long and how much the feed fetches.
struct FeedLimits {
    // Each request's own time-out; a stalled server ends a fetch after this.
    std::chrono::milliseconds requestTimeout{20000};
    // When set, no request runs past this moment of the feed's clock.
    std::optional<Clock::Monotonic> deadline;
    // Theme lists are small text files; theme art is a few hundred kilobytes.
    std::size_t maxPlistBytes = 4u << 20;
    std::size_t maxImageBytes = 16u << 20;
    std::int64_t maxImagePixels = 4096 * 4096;
    // Stops the fetches on their way from another thread (the feed's end).
    std::shared_ptr<HttpCancellation> cancellation;
};

// The request's time-out under `limits`, or nullopt when the deadline passed.
std::optional<std::chrono::milliseconds> requestTimeout(const FeedLimits& limits,
                                                        const Clock& clock);

// The dictionary at the root of the property list at `url`.
[[nodiscard]] Result<PlistDictionary> fetchPropertyListDictionary(HttpClient& http,
                                                                  const Clock& clock,
                                                                  const FeedLimits& limits,
                                                                  const std::string& url);

// The picture at `url`, decoded (JPEG, PNG, GIF or BMP by content).
[[nodiscard]] Result<Image> fetchImage(HttpClient& http, const Clock& clock,
                                       const FeedLimits& limits, const std::string& url);

// An error in kFeedErrorDomain with `description`.
Error feedError(FeedErrorCode code, const std::string& description);

}  // namespace qp
