#pragma once
// The share sheet: shows the finished square and takes it out of the app —
// to the photo app through the open-in menu, to the social network's photos
// (after a confirmation panel), into a tweet, into a mail, into the photo
// album — and back to the editor.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/composition/CompositionConstants.h"
#include "facebook/Facebook.h"
#include "imaging/Image.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/ViewController.h"
#include "share/DocumentInteraction.h"
#include "share/PhotoAlbum.h"

class QLabel;
class QPushButton;

namespace qp {

class AnalyticsRecorder;
class MailDelivery;
class TweetPublisher;
class UserDefaults;

inline constexpr const char* kShareImageViewName = "shareImageView";
inline constexpr const char* kPostToFacebookViewName = "postToFacebookView";
inline constexpr const char* kForFacebookImageName = "forFacebookImage";
inline constexpr const char* kPostToFacebookOKName = "btnPostToFacebookOK";
inline constexpr const char* kPostToFacebookCancelName = "btnPostToFacebookCancel";

inline constexpr const char* kInstagramAppURL = "instagram://app";
inline constexpr const char* kInstagramUTI = "com.instagram.exclusivegram";
inline constexpr const char* kInstagramCaptionKey = "InstagramCaption";
inline constexpr const char* kInstagramCaption = "(Made with #Vantora)";
inline constexpr const char* kFacebookPermission = "publish_actions";
inline constexpr const char* kTweetInitialText = "#Vantora";
inline constexpr const char* kMailSubject = "I made this with Kelvane's #Vantora app";
inline constexpr const char* kMailBodyResource = "EmailMessageBody";
inline constexpr const char* kMailAttachmentType = "image/png";
inline constexpr const char* kMailAttachmentName = "myQuillpost.png";
// The code of the photo upload in currentAPICall.
inline constexpr int kAPIGraphUserPhotosPost = 21;
inline constexpr std::chrono::milliseconds kFacebookPanelFade{100};

// Events.
inline constexpr const char* kInstagramPostedEvent = "Post to Instagram: Quillpost posted";
inline constexpr const char* kFacebookPostedEvent = "Post to Facebook: Quillpost posted";
inline constexpr const char* kTwitterTweetedEvent = "Post to Twitter: Quillpost tweeted";
inline constexpr const char* kEmailSentEvent = "Send email: Quillpost sent";
inline constexpr const char* kEmailFailedEvent = "Send email: send Quillpost FAILED";
inline constexpr const char* kSaveSucceededEvent = "Save To Device: Quillpost saved";
inline constexpr const char* kSaveFailedEvent = "Save To Device: save Quillpost FAILED";

// Alert texts.
inline constexpr const char* kInstagramMissingMessage =
    "The Instagram app is not installed on this device";
inline constexpr const char* kFacebookAlertTitle = "Facebook says";
inline constexpr const char* kFacebookUploadedMessage = "image uploaded successfully.";
inline constexpr const char* kFacebookFailedMessage =
    "something went wrong. The image was not posted";
inline constexpr const char* kPostingToFacebookTitle = "\nposting to Facebook";
inline constexpr const char* kSavingImageTitle = "\nsaving image";
inline constexpr const char* kSaveErrorTitle = "Error";
inline constexpr const char* kSaveErrorMessage = "The image was not saved";
inline constexpr const char* kSaveSuccessTitle = "Success";
inline constexpr const char* kSaveSuccessMessage = "The image has been saved";

// What the sheet works through. All are owned elsewhere and outlive the sheet;
// a missing service makes its action do nothing but log.
struct ShareServices {
    AnalyticsRecorder* analytics = nullptr;
    UserDefaults* defaults = nullptr;
    // Answers canOpenURL for the photo app.
    UrlOpener* urlOpener = nullptr;
    // The Documents folder, where the editor wrote the hand-off file.
    std::filesystem::path documents;
    // The folder with the app's resources (the mail body).
    std::filesystem::path resources;
    DocumentInteractionService* documentInteraction = nullptr;
    PhotoAlbum* album = nullptr;
    MailDelivery* mail = nullptr;
    TweetPublisher* tweets = nullptr;
    // Makes a social-network client with the app's id and `delegate`.
    std::function<std::shared_ptr<Facebook>(FBSessionDelegate* delegate)> makeFacebook;
    // Makes `facebook` the application's client, so URLs opened into the app reach it.
    std::function<void(const std::shared_ptr<Facebook>& facebook)> adoptFacebook;
};

class SharePopupVC : public ViewController,
                     public MailComposeViewControllerDelegate,
                     public DocumentInteractionControllerDelegate,
                     public FBSessionDelegate,
                     public FBRequestDelegate {
public:
    explicit SharePopupVC(std::string layoutName, ShareServices services = {});
    ~SharePopupVC() override;

    // The square result; set by the editor before the sheet comes on screen.
    const std::optional<Image>& theShareImage() const { return m_shareImage; }
    void setTheShareImage(Image image);

    void viewDidLoad() override;
    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const override;

    void actionBackFromShareButton(QObject* sender);
    void actionShareInstagramButton(QObject* sender);
    void actionShareFacebookButton(QObject* sender);
    void actionOkToPostOnFB(QObject* sender);
    void actionCancelPostOnFB(QObject* sender);
    void actionShareTwitterButton(QObject* sender);
    void actionShareEmailButton(QObject* sender);
    void actionShareSaveButton(QObject* sender);

    void apiGraphUserPhotosPost();
    // Removes the hand-off file, ignoring failure. Nothing in the sheet calls it.
    void deleteSavedImage();
    std::filesystem::path handOffFile() const;

    // The open-in hand-off.
    void documentInteractionControllerWillBeginSendingToApplication(
        DocumentInteractionController& controller, const std::string& application) override;
    void documentInteractionControllerDidEndSendingToApplication(
        DocumentInteractionController& controller, const std::string& application) override;
    void documentInteractionControllerDidDismissOpenInMenu(
        DocumentInteractionController& controller) override;

    // The social network's session and request.
    void fbDidLogin() override;
    void fbDidNotLogin(bool cancelled) override;
    void fbDidExtendTokenExpiresAt(const std::string& accessToken,
                                   Clock::WallTime expiresAt) override;
    void fbDidLogout() override;
    void fbSessionInvalidated() override;
    void requestDidReceiveResponse(FBRequest& request, const HttpResponse& response) override;
    void requestDidLoad(FBRequest& request, const std::optional<JsonValue>& result) override;
    void requestDidFailWithError(FBRequest& request, const Error& error) override;

    // The mail sheet's result.
    void mailComposeControllerDidFinishWithResultError(MailComposeViewController& controller,
                                                       MailComposeResult result,
                                                       const std::optional<Error>& error) override;

    // The album save's result.
    void savedOurImageDidFinishSavingWithError(const PhotoAlbum::Outcome& outcome);

    // For tests and the window.
    Facebook* facebook() const { return m_facebook.get(); }
    int currentAPICall() const { return m_currentAPICall; }
    DocumentInteractionController* documentInteractionController() const {
        return m_documentInteractionController.get();
    }
    QWidget* postToFacebookView() const { return m_postToFacebookView; }

protected:
    std::vector<std::string> requiredOutlets() const override;
    std::map<std::string, Action> actions() override;

private:
    void showShareImage();
    void logEvent(const char* name);
    void postFailed(const Error& error);

    ShareServices m_services;
    std::unique_ptr<DocumentInteractionController> m_documentInteractionController;
    std::optional<Image> m_shareImage;
    QLabel* m_imageView = nullptr;
    QWidget* m_postToFacebookView = nullptr;
    QLabel* m_forFacebookImage = nullptr;
    QPushButton* m_btnPostToFacebookOK = nullptr;
    QPushButton* m_btnPostToFacebookCancel = nullptr;
    std::shared_ptr<Facebook> m_facebook;
    int m_currentAPICall = 0;
    // Requests that still report here; told to stop when the sheet goes.
    std::vector<std::weak_ptr<FBRequest>> m_requests;
};

}  // namespace qp
