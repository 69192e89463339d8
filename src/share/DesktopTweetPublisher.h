#pragma once
// A tweet from the desktop: the service's web intent opens in the browser
// with the text. A web intent cannot carry an image, so the image is saved to
// the album folder first and the note tells the user where to find it.

#include <string>

#include "platform/UrlOpener.h"
#include "share/PhotoAlbum.h"
#include "share/TweetPublisher.h"

namespace qp {

inline constexpr const char* kTweetIntentURL = "https://twitter.com/intent/tweet";

// The intent URL carrying `text`, percent-encoded.
std::string tweetIntentURL(const std::string& intentURL, const std::string& text);

class DesktopTweetPublisher final : public TweetPublisher {
public:
    DesktopTweetPublisher(UrlOpener& urlOpener, PhotoAlbum& album,
                          std::string intentURL = kTweetIntentURL);
    void publish(const std::string& text, const Image& image, Done done) override;

private:
    UrlOpener& m_urlOpener;
    PhotoAlbum& m_album;
    std::string m_intentURL;
};

}  // namespace qp
