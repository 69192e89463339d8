#pragma once
// The app launched on the test's services, with a scripted web view for the
// more-apps page and a mail double, so the settings and more-apps screens
// can be driven from the start screen as a user reaches them.

#include <QCoreApplication>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "platform/DeviceProfile.h"
#include "screens/MainViewController.h"
#include "screens/MoreViewController.h"
#include "screens/SettingsViewController.h"
#include "share/MailDelivery.h"
#include "support/ScriptedWebView.h"
#include "support/TestAppServices.h"

namespace qp::test {

// Mail that leaves with the result the test chose, and remembers what left.
class MailDouble : public MailDelivery {
public:
    bool canSendMail() const override { return canSend; }
    bool needsRecipient() const override { return false; }
    void deliver(const MailComposeViewController&, MailComposeViewController::Done done) override {
        ++deliveries;
        done(result, error);
    }

    bool canSend = true;
    MailComposeResult result = MailComposeResult::Sent;
    std::optional<Error> error;
    int deliveries = 0;
};

struct ScreensTestBed : TestAppServices {
    explicit ScreensTestBed(const std::string& deviceName = defaultDeviceProfile().name)
        : TestAppServices(deviceName) {}

    // Launches the app; every web view it makes is kept in `webViews`.
    void launch() {
        AppContext c = context();
        c.mail = &mail;
        c.makeWebView = [this]() -> std::unique_ptr<WebView> {
            auto view = std::make_unique<ScriptedWebView>(&urls);
            webViews.push_back(view.get());
            return view;
        };
        app = std::make_unique<AppDelegate>(c, "ABCDEFGHIJ0123456789");
        app->applicationDidFinishLaunchingWithOptions();
    }

    // The settings screen, presented from the start screen.
    SettingsViewController& openSettings() {
        MainViewController& start = *app->viewController();
        start.actionSettingsButton(nullptr);
        auto* settings = dynamic_cast<SettingsViewController*>(start.presentedViewController());
        EXPECT_NE(settings, nullptr);
        return *settings;
    }

    // The newest web view, which the current more-apps screen shows.
    ScriptedWebView& page() { return *webViews.back(); }

    MailDouble mail;
    std::vector<ScriptedWebView*> webViews;
    std::unique_ptr<AppDelegate> app;
};

}  // namespace qp::test
