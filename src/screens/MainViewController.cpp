#include "screens/MainViewController.h"

#include "analytics/AnalyticsRecorder.h"
#include "appkit/AppHelpers.h"
#include "appkit/Configuration.h"
#include "appkit/LayoutVariant.h"
#include "editor/ui/QuillpostVC.h"
#include "platform/AppState.h"
#include "platform/Log.h"
#include "platform/UrlOpener.h"
#include "platform/ui/TextMessageService.h"
#include "screens/SettingsViewController.h"

namespace qp {

namespace {
constexpr const char* kEditorScreen = "QuillpostVC";
}

std::string formatWithObject(const std::string& format, const std::string& value) {
    const auto at = format.find("%@");
    if (at == std::string::npos) return format;
    return format.substr(0, at) + value + format.substr(at + 2);
}

MainViewController::MainViewController(std::string layoutName, const AppContext& context)
    : ViewController(std::move(layoutName)), m_context(context) {}

std::map<std::string, ViewController::Action> MainViewController::actions() {
    return {
        {"actionStartButton", [this](QObject* s) { actionStartButton(s); }},
        {"actionInstaFollow", [this](QObject* s) { actionInstaFollow(s); }},
        {"actionQuillpostTag", [this](QObject* s) { actionQuillpostTag(s); }},
        {"actionSettingsButton", [this](QObject* s) { actionSettingsButton(s); }},
        {"viewMorePage", [this](QObject* s) { viewMorePage(s); }},
        {"actionTellAFriendButton", [this](QObject* s) { actionTellAFriendButton(s); }},
    };
}

bool MainViewController::shouldAutorotateToInterfaceOrientation(
    InterfaceOrientation orientation) const {
    return orientation == InterfaceOrientation::Portrait ||
           orientation == InterfaceOrientation::PortraitUpsideDown;
}

void MainViewController::actionStartButton(QObject*) {
    logLine("-[MainViewController actionStartButton:]");
    m_context.state->setStartButtonWasPressed(true);
    if (!m_editor) {
        const DeviceType type = m_context.state->deviceType();
        m_editor = std::make_shared<QuillpostVC>(
            qp::layoutName(kEditorScreen, type, *m_context.device), m_context);
    }
    m_editor->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    presentViewController(m_editor, true);
}

void MainViewController::openInstagramLink(const char* format, const char* value) {
    const std::string url = formatWithObject(format, value);
    if (m_context.urlOpener->canOpenURL(url)) {
        m_context.urlOpener->openURL(url);
    } else {
        ShowAlert(std::nullopt, kInstagramNotInstalledMessage);
    }
}

void MainViewController::actionInstaFollow(QObject*) {
    openInstagramLink(kInstagramUserURLFormat, kInstagramUserName);
}

void MainViewController::actionQuillpostTag(QObject*) {
    openInstagramLink(kInstagramTagURLFormat, kInstagramTagName);
}

void MainViewController::actionSettingsButton(QObject*) {
    const DeviceType type = m_context.state->deviceType();
    auto settings = std::make_shared<SettingsViewController>(
        qp::layoutName(kSettingsScreen, type, *m_context.device), m_context);
    presentViewController(std::move(settings), true);
}

void MainViewController::viewMorePage(QObject*) {
    m_context.analytics->logEvent(kEventTappedMore);
    if (!m_context.moreViewController) return;
    if (std::shared_ptr<ViewController> more = m_context.moreViewController())
        presentViewController(more, true);
}

void MainViewController::actionTellAFriendButton(QObject*) {
    m_context.analytics->logEvent(kEventTappedTellAFriend);
    TextMessageService* service = m_context.textMessages;
    if (!service || !service->canSendText()) return;
    std::shared_ptr<MessageComposeViewController> composer = service->makeComposer();
    std::string body = kTellAFriendText;
    body += ' ';
    if (m_context.config) body += m_context.config->value(config::kDownloadLink);
    composer->setBody(QString::fromStdString(body));
    composer->setMessageComposeDelegate(this);
    presentViewController(std::move(composer), true);
}

void MainViewController::messageComposeViewControllerDidFinishWithResult(
    MessageComposeViewController&, MessageComposeResult result) {
    dismissViewControllerAnimated(true);
    switch (result) {
        case MessageComposeResult::Sent:
            logLine("Message sent");
            m_context.analytics->logEvent(kEventTellAFriendSent);
            break;
        case MessageComposeResult::Cancelled:
            logLine("Message cancelled");
            break;
        default:
            logLine("Message failed");
            break;
    }
}

}  // namespace qp
