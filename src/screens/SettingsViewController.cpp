#include "screens/SettingsViewController.h"

#include <QAbstractButton>

#include "analytics/AnalyticsRecorder.h"
#include "appkit/AppHelpers.h"
#include "appkit/Configuration.h"
#include "appkit/UsageReportsSwitch.h"
#include "platform/Log.h"
#include "platform/UrlOpener.h"
#include "screens/MainViewController.h"
#include "screens/SettingsLinks.h"
#include "share/MailDelivery.h"

namespace qp {

namespace {
constexpr const char* kUsageReportsOutlet = "usageReportsSwitch";
}

SettingsViewController::SettingsViewController(std::string layoutName, const AppContext& context)
    : ViewController(std::move(layoutName)), m_context(context) {}

std::vector<std::string> SettingsViewController::requiredOutlets() const {
    return {kUsageReportsOutlet};
}

std::map<std::string, ViewController::Action> SettingsViewController::actions() {
    return {
        {"actionBackButton", [this](QObject* s) { actionBackButton(s); }},
        {"actionLeaveReviewButton", [this](QObject* s) { actionLeaveReviewButton(s); }},
        {"viewMorePage", [this](QObject* s) { viewMorePage(s); }},
        {"actionSendFeedbackButton", [this](QObject* s) { actionSendFeedbackButton(s); }},
        {"actionUsageReportsSwitch", [this](QObject* s) { actionUsageReportsSwitch(s); }},
    };
}

bool SettingsViewController::shouldAutorotateToInterfaceOrientation(
    InterfaceOrientation orientation) const {
    return orientation == InterfaceOrientation::Portrait ||
           orientation == InterfaceOrientation::PortraitUpsideDown;
}

void SettingsViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    showUsageReportsState();
}

void SettingsViewController::showUsageReportsState() {
    auto* toggle = outlet<QAbstractButton>(kUsageReportsOutlet);
    if (!toggle) return;
    toggle->setCheckable(true);
    toggle->setVisible(m_context.usageReports != nullptr);
    if (m_context.usageReports) toggle->setChecked(m_context.usageReports->isOn());
}

void SettingsViewController::actionBackButton(QObject*) {
    dismissViewControllerAnimated(true);
}

void SettingsViewController::actionLeaveReviewButton(QObject*) {
    m_context.analytics->logEvent(kEventTappedLeaveReview);
    const Configuration* config = m_context.config;
    const std::optional<std::string> address =
        config
            ? storeReviewAddress(config->value(config::kStoreHost), config->value(config::kStoreId))
            : std::nullopt;
    if (!address) {
        ShowAlert(std::nullopt, kNoStorePageMessage);
        return;
    }
    if (!m_context.urlOpener || !m_context.urlOpener->openURL(*address))
        logf("The store's review page could not be opened: {}", *address);
}

void SettingsViewController::viewMorePage(QObject*) {
    m_context.analytics->logEvent(kEventTappedMore);
    if (!m_context.moreViewController) return;
    if (std::shared_ptr<ViewController> more = m_context.moreViewController())
        presentViewController(std::move(more), true);
}

void SettingsViewController::actionSendFeedbackButton(QObject*) {
    m_context.analytics->logEvent(kEventTappedSendFeedback);
    MailDelivery* delivery = m_context.mail;
    if (!delivery || !delivery->canSendMail()) return;
    auto mail = std::make_shared<MailComposeViewController>();
    mail->setMailComposeDelegate(this);
    const std::string recipient =
        m_context.config ? m_context.config->value(config::kFeedbackMail) : "";
    if (!recipient.empty()) mail->setToRecipients({QString::fromStdString(recipient)});
    mail->setSubject(QString::fromUtf8(kFeedbackMailSubject));
    mail->setMessageBodyIsHTML(QString::fromUtf8(kFeedbackMailBody), true);
    mail->setRecipientRequired(delivery->needsRecipient());
    mail->setDelivery([delivery](const MailComposeViewController& composer,
                                 MailComposeViewController::Done done) {
        delivery->deliver(composer, std::move(done));
    });
    presentViewController(std::move(mail), true);
}

void SettingsViewController::mailComposeControllerDidFinishWithResultError(
    MailComposeViewController& controller, MailComposeResult result,
    const std::optional<Error>& error) {
    if (result == MailComposeResult::Sent) m_context.analytics->logEvent(kEventFeedbackSent);
    if (result == MailComposeResult::Failed) {
        m_context.analytics->logEvent(kEventFeedbackFailed);
        // Otherwise the user would take the closed composer for a sent mail.
        if (error) ShowAlert(std::nullopt, error->description());
    }
    controller.dismissViewControllerAnimated(true);
}

void SettingsViewController::actionUsageReportsSwitch(QObject* sender) {
    auto* toggle = qobject_cast<QAbstractButton*>(sender);
    if (!m_context.usageReports || !toggle) return;
    const bool on = toggle->isChecked();
    if (Result<void> kept = m_context.usageReports->setOn(on); !kept.ok()) {
        ShowAlert(std::nullopt, kept.error().description() +
                                    (on ? "\nUsage reports are on until Quillpost quits."
                                        : "\nUsage reports are off until Quillpost quits."));
    }
    toggle->setChecked(m_context.usageReports->isOn());
}

}  // namespace qp
