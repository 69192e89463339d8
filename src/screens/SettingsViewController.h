#pragma once
// The settings screen, presented modally from the start screen: rates the
// app in the store, mails feedback to the maker, opens the more-apps page
// and switches usage reports; its back button closes it.

#include "appkit/AppContext.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/ViewController.h"

namespace qp {

inline constexpr const char* kEventTappedLeaveReview = "tapped: Leave Review button";
inline constexpr const char* kEventTappedSendFeedback = "tapped: SendFeedback button";
inline constexpr const char* kEventFeedbackSent = "Send email: Feedback sent";
inline constexpr const char* kEventFeedbackFailed = "Send email: Send Feedback FAILED";
inline constexpr const char* kNoStorePageMessage =
    "No store page is set up for this copy of Quillpost: set store_host and store_id in the "
    "configuration file.";

class SettingsViewController : public ViewController, public MailComposeViewControllerDelegate {
public:
    SettingsViewController(std::string layoutName, const AppContext& context);

    void actionBackButton(QObject* sender);
    void actionLeaveReviewButton(QObject* sender);
    void viewMorePage(QObject* sender);
    void actionSendFeedbackButton(QObject* sender);
    void actionUsageReportsSwitch(QObject* sender);

    void viewDidLoad() override;
    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const override;

    void mailComposeControllerDidFinishWithResultError(MailComposeViewController& controller,
                                                       MailComposeResult result,
                                                       const std::optional<Error>& error) override;

protected:
    std::vector<std::string> requiredOutlets() const override;
    std::map<std::string, Action> actions() override;

private:
    void showUsageReportsState();

    AppContext m_context;
};

}  // namespace qp
