#include "share/DesktopTweetPublisher.h"

#include <QByteArray>

#include "platform/Log.h"

namespace qp {

std::string tweetIntentURL(const std::string& intentURL, const std::string& text) {
    return intentURL + "?text=" + QByteArray::fromStdString(text).toPercentEncoding().toStdString();
}

DesktopTweetPublisher::DesktopTweetPublisher(UrlOpener& urlOpener, PhotoAlbum& album,
                                             std::string intentURL)
    : m_urlOpener(urlOpener), m_album(album), m_intentURL(std::move(intentURL)) {}

void DesktopTweetPublisher::publish(const std::string& text, const Image& image, Done done) {
    UrlOpener* opener = &m_urlOpener;
    const std::string url = tweetIntentURL(m_intentURL, text);
    const std::string folder = m_album.folder().string();
    m_album.saveImage(image, [opener, url, folder, done](const PhotoAlbum::Outcome& saved) {
        std::string note = opener->openURL(url)
                               ? "Your tweet is open in the browser."
                               : "The browser could not be opened for the tweet (is xdg-open "
                                 "installed?). Its address is " +
                                     url + " .";
        if (saved.file) {
            note += " The image was saved as " + saved.file->string() + " : attach it there.";
        } else {
            note += " The image could not be saved in " + folder + ": " +
                    (saved.error ? saved.error->description() : std::string("unknown reason"));
            logf("Tweet: the image was not saved: {}",
                 saved.error ? saved.error->description() : "");
        }
        done(note);
    });
}

}  // namespace qp
