#pragma once
// The start screen: starts the editor, links to the product's account and
// hashtag, offers a tell-a-friend text, and opens the settings and more-apps
// screens.

#include <memory>

#include "appkit/AppContext.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/ViewController.h"

namespace qp {

inline constexpr const char* kInstagramUserURLFormat = "instagram://user?username=%@";
inline constexpr const char* kInstagramUserName = "VantoraApp";
inline constexpr const char* kInstagramTagURLFormat = "instagram://tag?name=%@";
inline constexpr const char* kInstagramTagName = "Vantora";
inline constexpr const char* kInstagramNotInstalledMessage =
    "The Instagram app is not installed on this device";
inline constexpr const char* kTellAFriendText =
    "Post full size photos on Instagram with this free app";
inline constexpr const char* kEventTappedMore = "tapped: More button";
inline constexpr const char* kEventTappedTellAFriend = "tapped: TellaFriend button";
inline constexpr const char* kEventTellAFriendSent = "message sent: Tell A Friend SMS";
inline constexpr const char* kSettingsScreen = "SettingsViewController";

class MainViewController : public ViewController, public MessageComposeViewControllerDelegate {
public:
    MainViewController(std::string layoutName, const AppContext& context);

    void actionStartButton(QObject* sender);
    void actionInstaFollow(QObject* sender);
    void actionQuillpostTag(QObject* sender);
    void actionSettingsButton(QObject* sender);
    void viewMorePage(QObject* sender);
    void actionTellAFriendButton(QObject* sender);

    void messageComposeViewControllerDidFinishWithResult(MessageComposeViewController& controller,
                                                         MessageComposeResult result) override;

    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const override;

    // The editor, once Start was pressed.
    ViewController* editor() const { return m_editor.get(); }

protected:
    std::map<std::string, Action> actions() override;

private:
    void openInstagramLink(const char* format, const char* value);

    AppContext m_context;
    std::shared_ptr<ViewController> m_editor;
};

// Fills the one "%@" of `format` with `value`.
std::string formatWithObject(const std::string& format, const std::string& value);

}  // namespace qp
