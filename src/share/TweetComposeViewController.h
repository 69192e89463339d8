#pragma once
// Our tweet sheet: the text (editable) and the image, with Send and Cancel.
// Send hands both to the TweetPublisher and tells the user what happened;
// the completion handler is called once, with 1 for sent and 0 for cancelled.

#include <QString>

#include <functional>
#include <optional>

#include "imaging/Image.h"
#include "platform/ui/ViewController.h"
#include "share/TweetPublisher.h"

namespace qp {

enum class TweetComposeResult { Cancelled = 0, Done = 1 };

class TweetComposeViewController : public ViewController {
public:
    using CompletionHandler = std::function<void(TweetComposeResult)>;

    explicit TweetComposeViewController(TweetPublisher& publisher);

    // Answer whether the sheet took the value (it always does here).
    bool setInitialText(const QString& text);
    bool addImage(const Image& image);
    void setCompletionHandler(CompletionHandler handler) { m_completion = std::move(handler); }

    const QString& text() const { return m_text; }
    const std::optional<Image>& image() const { return m_image; }

    // What the Send and Cancel buttons do.
    void send();
    void cancel();

protected:
    QWidget* makeView() override;

private:
    void finish(TweetComposeResult result);

    TweetPublisher& m_publisher;
    QString m_text;
    std::optional<Image> m_image;
    CompletionHandler m_completion;
    bool m_busy = false;
    bool m_finished = false;
};

}  // namespace qp
