#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "facebook/FBRequest.h"
#include "facebook/FBText.h"
#include "facebook/Facebook.h"
#include "platform/TextEncoding.h"

namespace qp {

namespace {

constexpr std::string_view kTokenPair = "access_token=";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "redirect address check failed: %s\n", what);
    std::abort();
}

bool startsPair(std::string_view url, std::size_t at) {
    return at > 0 && (url[at - 1] == '?' || url[at - 1] == '&' || url[at - 1] == '#');
}

// Every access token that starts a pair is replaced, and a second pass
// changes nothing.
void checkRedaction(std::string_view url) {
    const std::string redacted = FBRequest::redactedURL(url);
    for (std::size_t at = redacted.find(kTokenPair); at != std::string::npos;
         at = redacted.find(kTokenPair, at + 1)) {
        if (!startsPair(redacted, at)) continue;
        const std::string_view value = std::string_view(redacted).substr(at + kTokenPair.size());
        const std::string_view marker = kFBRedactedToken;
        if (value.substr(0, marker.size()) != marker) fail("a token kept in a logged address");
        const std::string_view rest = value.substr(marker.size());
        if (!rest.empty() && rest[0] != '&' && rest[0] != '#') fail("part of a token kept");
    }
    if (FBRequest::redactedURL(redacted) != redacted) fail("redaction not stable");
}

// Reads the bytes as lines of "key<TAB>value" and sends them through the
// writer and back through the reader of returned addresses.
void checkRoundTrip(std::string_view bytes) {
    FBParams params;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        std::string key;
        for (char c : line.substr(0, tab)) {
            // Keys are written unescaped, so only plain ones can come back.
            if (c != '&' && c != '=' && c != '#' && c != '?' && c != '%') key += c;
        }
        if (key.empty()) continue;
        params[key] = std::string(line.substr(tab + 1));
    }

    const std::string url = FBRequest::serializeURL("fb1://authorize", params);
    const std::size_t query = url.find('?');
    if (query == std::string::npos) fail("no query in a serialized address");
    const auto read = Facebook::parseURLParams(std::string_view(url).substr(query + 1));
    if (read.size() != params.size()) fail("pairs lost or added");
    for (const auto& [key, value] : params) {
        const auto found = read.find(key);
        if (found == read.end()) fail("a key went missing");
        const std::string& written = std::get<std::string>(value);
        const std::string expected = isValidUtf8(written) ? written : percentEscape(written);
        if (found->second != expected) fail("a value changed on the way");
    }
}

}  // namespace

void fuzzOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkRedaction(bytes);
    (void)Facebook::parseURLParams(bytes);
    checkRoundTrip(bytes);
}

}  // namespace qp
