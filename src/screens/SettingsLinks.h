#pragma once
// What the settings screen hands out: the store's review page for the
// product, and the prepared feedback mail. Plain text, no widgets.

#include <optional>
#include <string>

namespace qp {

// The review page: "http://", the store's web host, this path and first
// query key, the product's store identifier and the rest of the query.
inline constexpr const char* kReviewPageBase =
    "/WebObjects/MZStore.woa/wa/viewContentsUserReviews?id=";
inline constexpr const char* kReviewPageQueryRest =
    "&pageNumber=0&sortOrdering=1&type=Purple+Software&mt=8";
inline constexpr const char* kReviewAddressFormat = "%@%@%@";
inline constexpr const char* kFeedbackMailSubject = "I made this with Kelvane's #Vantora app";
inline constexpr const char* kFeedbackMailBody =
    "This is some simple sample<br>text in html format.<br>";

// "http://" and `host` with no trailing slash; a host that names its own
// scheme keeps it. Empty for an empty host.
std::string httpBaseUrl(const std::string& host);

// The product's review page in the store; none when the host is empty or
// the identifier is not a decimal number, as no page can be found then.
std::optional<std::string> storeReviewAddress(const std::string& storeHost,
                                              const std::string& storeId);

}  // namespace qp
