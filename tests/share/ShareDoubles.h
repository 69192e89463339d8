#pragma once
// Doubles for the share sheet's services: each records what the sheet asked
// and lets the test decide when and how it ends.

#include <QImage>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "share/DocumentInteraction.h"
#include "share/MailDelivery.h"
#include "share/PhotoAlbum.h"
#include "share/TweetPublisher.h"

namespace qp::test {

class HeldAlbum final : public PhotoAlbum {
public:
    void saveImage(const Image& image, Completion completion) override {
        saved.push_back(image);
        pending.push_back(std::move(completion));
    }
    std::filesystem::path folder() const override { return "/album"; }
    void finish(const Outcome& outcome) {
        Completion completion = std::move(pending.front());
        pending.erase(pending.begin());
        completion(outcome);
    }
    std::vector<Image> saved;
    std::vector<Completion> pending;
};

class HeldMail final : public MailDelivery {
public:
    bool canSendMail() const override { return available; }
    bool needsRecipient() const override { return direct; }
    void deliver(const MailComposeViewController& mail,
                 MailComposeViewController::Done done) override {
        delivered.push_back(mail.message());
        pending.push_back(std::move(done));
    }
    bool available = true;
    bool direct = false;
    std::vector<ComposedMessage> delivered;
    std::vector<MailComposeViewController::Done> pending;
};

class HeldTweets final : public TweetPublisher {
public:
    void publish(const std::string& text, const Image& image, Done done) override {
        texts.push_back(text);
        images.push_back(image);
        done(note);
    }
    std::string note;
    std::vector<std::string> texts;
    std::vector<Image> images;
};

// The open-in menu: the test picks an application (or none) when it presents.
class ScriptedDocumentInteraction final : public DocumentInteractionService {
public:
    class Controller final : public DocumentInteractionController {
    public:
        Controller(std::filesystem::path file, ScriptedDocumentInteraction& owner)
            : DocumentInteractionController(std::move(file)), m_owner(owner) {}
        bool presentOpenInMenuFromRectInView(QWidget*, bool) override {
            ++m_owner.presented;
            if (m_owner.chosen && delegate()) {
                delegate()->documentInteractionControllerWillBeginSendingToApplication(
                    *this, *m_owner.chosen);
                delegate()->documentInteractionControllerDidEndSendingToApplication(
                    *this, *m_owner.chosen);
            }
            if (delegate()) delegate()->documentInteractionControllerDidDismissOpenInMenu(*this);
            return true;
        }

    private:
        ScriptedDocumentInteraction& m_owner;
    };

    std::unique_ptr<DocumentInteractionController> interactionControllerWithURL(
        const std::filesystem::path& file) override {
        files.push_back(file);
        return std::make_unique<Controller>(file, *this);
    }
    std::optional<std::string> chosen;
    std::vector<std::filesystem::path> files;
    int presented = 0;
};

}  // namespace qp::test
