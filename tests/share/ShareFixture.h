#pragma once
// A share sheet on screen headless, presented by a root screen in a window,
// with doubles for every service; alerts are answered at once and recorded
// with the events recorded before each was answered.

#include <QCoreApplication>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "ShareDoubles.h"
#include "platform/ui/Window.h"
#include "share/SharePopupVC.h"
#include "support/LogCapture.h"
#include "support/TestAppServices.h"

namespace qp::test {

struct SeenAlert {
    std::string title;
    std::string message;
    std::vector<std::string> eventsBefore;
};

inline Image squareImage(QColor colour = Qt::red, int side = 612) {
    QImage bitmap(side, side, QImage::Format_RGB32);
    bitmap.fill(colour);
    return Image(bitmap);
}

struct ShareFixture : TestAppServices {
    explicit ShareFixture(const std::string& deviceName = "iphone")
        : TestAppServices(deviceName), window(device) {
        AlertView::setHeadlessAnswerer([this](const AlertView& alert) {
            alerts.push_back({alert.title(), alert.message(), analytics.eventNames()});
            return 0;
        });
        window.setRootViewController(root);
        window.makeKeyAndVisible();
    }

    // Alerts still waiting for their answer are answered here, not in the next test.
    ~ShareFixture() { settle(); }

    ShareServices services() {
        ShareServices s;
        s.analytics = &analytics;
        s.defaults = &defaults;
        s.urlOpener = &urls;
        s.documents = paths.documents();
        s.resources = paths.resources();
        s.documentInteraction = &openIn;
        s.album = &album;
        s.mail = &mail;
        s.tweets = &tweets;
        return s;
    }

    SharePopupVC& present(const std::string& layout = "SharePopupVC_iPhone") {
        sheet = std::make_shared<SharePopupVC>(layout, services());
        sheet->setTheShareImage(squareImage());
        root->presentViewController(sheet, false);
        return *sheet;
    }

    // Lets queued clicks and headless alert answers happen.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            queue.runPending();
        }
    }

    std::vector<std::string> alertMessages() const {
        std::vector<std::string> messages;
        for (const SeenAlert& a : alerts) messages.push_back(a.message);
        return messages;
    }

    LogCapture log;
    HeldAlbum album;
    HeldMail mail;
    HeldTweets tweets;
    ScriptedDocumentInteraction openIn;
    Window window;
    std::shared_ptr<ViewController> root = std::make_shared<ViewController>("");
    std::shared_ptr<SharePopupVC> sheet;
    std::vector<SeenAlert> alerts;
};

}  // namespace qp::test
