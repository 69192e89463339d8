#pragma once
// The URLs the feed works with: the revision file's URL on the configured
// host, the host a reachability probe watches, and which texts count as URLs.

#include <string>

namespace qp {

// Whether `text` is an absolute http or https URL with a host and nothing a
// URL cannot hold unescaped (blanks, control characters, quotes, angle
// brackets, braces, backslashes, ...). A record's image URL that fails this
// is "screwed up": nothing is downloaded for it.
bool isFeedUrl(const std::string& text);

// The revision file's URL for a configured host: "http://" is added when the
// host has no scheme, a trailing slash is dropped. A value that already ends
// in ".plist" is taken as the revision file's own URL.
std::string revisionFileUrl(const std::string& feedHost);

// The host name (or address) of a URL or of a bare "host[:port]" value,
// without user, port or path; empty when there is none.
std::string hostOfUrl(const std::string& url);

}  // namespace qp
