#include "share/SharePopupVC.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QStringDecoder>

#include "analytics/AnalyticsRecorder.h"
#include "appkit/AppHelpers.h"
#include "facebook/FacebookSessionDefaults.h"
#include "imaging/PhotoIO.h"
#include "platform/Log.h"
#include "platform/UrlOpener.h"
#include "platform/ui/ViewAlpha.h"
#include "share/MailDelivery.h"
#include "share/TweetComposeViewController.h"
#include "ui/Throbber.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

void showPixmap(QLabel* label, const std::optional<Image>& image) {
    if (!label) return;
    if (!image || image->isNull()) {
        label->clear();
        return;
    }
    // The label shows the square at its own size; the result is 612 pixels a side.
    label->setPixmap(QPixmap::fromImage(image->bitmap())
                         .scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void showThrobber(const char* title) {
    if (Throbber* throbber = Throbber::defaultThrobber()) {
        throbber->setTitle(QString::fromUtf8(title));
        throbber->show();
    }
}

void dismissThrobber() {
    if (Throbber* throbber = Throbber::defaultThrobber()) throbber->dismiss();
}

// The text of an HTML resource in the encoding it declares (a byte-order
// mark or a meta charset), UTF-8 otherwise; none when it cannot be read.
std::optional<QString> readHtmlResource(const fs::path& file) {
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = in.readAll();
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
    return QString(decoder(bytes));
}

}  // namespace

SharePopupVC::SharePopupVC(std::string layoutName, ShareServices services)
    : ViewController(std::move(layoutName)), m_services(std::move(services)) {}

SharePopupVC::~SharePopupVC() {
    // An upload still on its way must not report to a sheet that is gone.
    for (const std::weak_ptr<FBRequest>& weak : m_requests) {
        if (std::shared_ptr<FBRequest> request = weak.lock();
            request && request->delegate() == this)
            request->setDelegate(nullptr);
    }
    if (m_facebook && m_facebook->sessionDelegate() == this)
        m_facebook->setSessionDelegate(nullptr);
    if (m_documentInteractionController) m_documentInteractionController->setDelegate(nullptr);
}

std::vector<std::string> SharePopupVC::requiredOutlets() const {
    return {kShareImageViewName, kPostToFacebookViewName, kForFacebookImageName,
            kPostToFacebookOKName, kPostToFacebookCancelName};
}

std::map<std::string, ViewController::Action> SharePopupVC::actions() {
    return {
        {"actionBackFromShareButton", [this](QObject* s) { actionBackFromShareButton(s); }},
        {"actionShareInstagramButton", [this](QObject* s) { actionShareInstagramButton(s); }},
        {"actionShareFacebookButton", [this](QObject* s) { actionShareFacebookButton(s); }},
        {"actionOkToPostOnFB", [this](QObject* s) { actionOkToPostOnFB(s); }},
        {"actionCancelPostOnFB", [this](QObject* s) { actionCancelPostOnFB(s); }},
        {"actionShareTwitterButton", [this](QObject* s) { actionShareTwitterButton(s); }},
        {"actionShareEmailButton", [this](QObject* s) { actionShareEmailButton(s); }},
        {"actionShareSaveButton", [this](QObject* s) { actionShareSaveButton(s); }},
    };
}

void SharePopupVC::setTheShareImage(Image image) {
    m_shareImage = std::move(image);
    showShareImage();
}

void SharePopupVC::viewDidLoad() {
    m_imageView = outlet<QLabel>(kShareImageViewName);
    m_postToFacebookView = outlet(kPostToFacebookViewName);
    m_forFacebookImage = outlet<QLabel>(kForFacebookImageName);
    m_btnPostToFacebookOK = outlet<QPushButton>(kPostToFacebookOKName);
    m_btnPostToFacebookCancel = outlet<QPushButton>(kPostToFacebookCancelName);
    if (m_postToFacebookView) {
        m_postToFacebookView->lower();
        m_postToFacebookView->hide();
    }
    showShareImage();
}

void SharePopupVC::showShareImage() {
    showPixmap(m_imageView, m_shareImage);
}

bool SharePopupVC::shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const {
    return orientation == InterfaceOrientation::Portrait ||
           orientation == InterfaceOrientation::PortraitUpsideDown;
}

void SharePopupVC::logEvent(const char* name) {
    if (m_services.analytics) m_services.analytics->logEvent(name);
}

void SharePopupVC::actionBackFromShareButton(QObject*) {
    dismissViewControllerAnimated(true);
}

// --- the photo app -----------------------------------------------------------

fs::path SharePopupVC::handOffFile() const {
    return m_services.documents / kHandOffFileName;
}

void SharePopupVC::actionShareInstagramButton(QObject*) {
    logLine("-[SharePopupVC actionShareInstagramButton:]");
    const fs::path file = handOffFile();
    if (!m_services.urlOpener || !m_services.urlOpener->canOpenURL(kInstagramAppURL)) {
        ShowAlert(std::nullopt, kInstagramMissingMessage);
        return;
    }
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        ShowAlert(std::nullopt, "The image to hand over is missing (" + file.string() +
                                    "). Go back and press Share again.");
        return;
    }
    if (!m_services.documentInteraction) {
        logLine("No open-in menu is available");
        return;
    }
    m_documentInteractionController =
        m_services.documentInteraction->interactionControllerWithURL(file);
    if (!m_documentInteractionController) return;
    m_documentInteractionController->setDelegate(this);
    m_documentInteractionController->setUTI(kInstagramUTI);
    m_documentInteractionController->setAnnotation({{kInstagramCaptionKey, kInstagramCaption}});
    (void)m_documentInteractionController->presentOpenInMenuFromRectInView(view(), true);
}

void SharePopupVC::deleteSavedImage() {
    std::error_code ignored;
    fs::remove(handOffFile(), ignored);
}

void SharePopupVC::documentInteractionControllerWillBeginSendingToApplication(
    DocumentInteractionController&, const std::string&) {
    logLine("-[SharePopupVC documentInteractionController:willBeginSendingToApplication:]");
}

void SharePopupVC::documentInteractionControllerDidEndSendingToApplication(
    DocumentInteractionController&, const std::string&) {
    logLine("-[SharePopupVC documentInteractionController:didEndSendingToApplication:]");
    logEvent(kInstagramPostedEvent);
}

void SharePopupVC::documentInteractionControllerDidDismissOpenInMenu(
    DocumentInteractionController&) {
    logLine("-[SharePopupVC documentInteractionControllerDidDismissOpenInMenu:]");
}

// --- the social network --------------------------------------------------------

void SharePopupVC::actionShareFacebookButton(QObject*) {
    logLine("-[SharePopupVC actionShareFacebookButton:]");
    if (!m_services.makeFacebook) {
        logLine("No social-network client is available");
        return;
    }
    if (m_facebook && m_facebook->sessionDelegate() == this)
        m_facebook->setSessionDelegate(nullptr);
    m_facebook = m_services.makeFacebook(this);
    if (!m_facebook) return;
    if (m_services.adoptFacebook) m_services.adoptFacebook(m_facebook);
    if (m_services.defaults) restoreFacebookSession(*m_services.defaults, *m_facebook);
    std::vector<std::string> permissions = {kFacebookPermission};
    if (m_facebook->isSessionValid()) {
        logLine("-- actionShareFacebookButton -- already logged in to Facebook");
    } else {
        m_facebook->authorize(std::move(permissions));
    }
    if (!m_postToFacebookView) return;
    setViewAlpha(m_postToFacebookView, 0);
    m_postToFacebookView->show();
    showPixmap(m_forFacebookImage, m_shareImage);
    m_postToFacebookView->raise();
    fadeView(m_postToFacebookView, 1, kFacebookPanelFade);
}

void SharePopupVC::actionOkToPostOnFB(QObject*) {
    apiGraphUserPhotosPost();
}

void SharePopupVC::actionCancelPostOnFB(QObject*) {
    if (!m_postToFacebookView) return;
    QPointer<QWidget> panel = m_postToFacebookView;
    setViewAlpha(panel, 1);
    fadeView(panel, 0, kFacebookPanelFade, [panel](bool) {
        if (!panel) return;
        panel->lower();
        panel->hide();
    });
}

void SharePopupVC::apiGraphUserPhotosPost() {
    showThrobber(kPostingToFacebookTitle);
    m_currentAPICall = kAPIGraphUserPhotosPost;
    FBParams params;
    params[kFBPhotoUploadImageKey] = m_shareImage.value_or(Image());
    if (!m_facebook) {
        // The panel only shows after the Facebook action made a client.
        postFailed(Error("qp.share", 1, {{kLocalizedDescriptionKey, "No social-network client"}}));
        return;
    }
    std::shared_ptr<FBRequest> request =
        m_facebook->requestWithGraphPath(kFBPhotoUploadPath, std::move(params), "POST", this);
    std::erase_if(m_requests, [](const std::weak_ptr<FBRequest>& r) { return r.expired(); });
    if (request) m_requests.push_back(request);
}

void SharePopupVC::fbDidLogin() {
    logLine("-[SharePopupVC fbDidLogin]");
    if (m_facebook && m_services.defaults) saveFacebookSession(*m_facebook, *m_services.defaults);
}

void SharePopupVC::fbDidNotLogin(bool) {
    logLine("-[SharePopupVC fbDidNotLogin:]");
}

void SharePopupVC::fbDidExtendTokenExpiresAt(const std::string&, Clock::WallTime) {
    logLine("-[SharePopupVC fbDidExtendToken:expiresAt:]");
}

void SharePopupVC::fbDidLogout() {
    logLine("-[SharePopupVC fbDidLogout]");
}

void SharePopupVC::fbSessionInvalidated() {
    logLine("-[SharePopupVC fbSessionInvalidated]");
}

void SharePopupVC::requestDidReceiveResponse(FBRequest&, const HttpResponse&) {
    logLine("-[SharePopupVC request:didReceiveResponse:]");
}

void SharePopupVC::requestDidLoad(FBRequest&, const std::optional<JsonValue>&) {
    logLine("-[SharePopupVC request:didLoad:]");
    dismissThrobber();
    if (m_currentAPICall != kAPIGraphUserPhotosPost) {
        logLine(
            "=== Facebook request:didLoad: received something other than a "
            "kAPIGraphUserPhotosPost ===");
        return;
    }
    // The alert waits in a nested loop; the sheet stays alive through it.
    const std::shared_ptr<ViewController> keepAlive = weak_from_this().lock();
    ModalAlertDelegate::delegateWithAlert(AlertView::create(kFacebookAlertTitle,
                                                            kFacebookUploadedMessage, nullptr,
                                                            kAlertOkButtonTitle))
        ->show();
    logEvent(kFacebookPostedEvent);
    actionCancelPostOnFB(nullptr);
}

void SharePopupVC::requestDidFailWithError(FBRequest&, const Error& error) {
    logLine("-[SharePopupVC request:didFailWithError:]");
    postFailed(error);
}

void SharePopupVC::postFailed(const Error& error) {
    dismissThrobber();
    ShowAlert(std::string(kFacebookAlertTitle), kFacebookFailedMessage);
    logLine(error.description());
    actionCancelPostOnFB(nullptr);
}

// --- the tweet sheet -----------------------------------------------------------

void SharePopupVC::actionShareTwitterButton(QObject*) {
    if (!m_services.tweets) {
        logLine("No tweet sheet is available");
        return;
    }
    auto tweet = std::make_shared<TweetComposeViewController>(*m_services.tweets);
    (void)tweet->setInitialText(QString::fromUtf8(kTweetInitialText));
    (void)tweet->addImage(m_shareImage.value_or(Image()));
    std::weak_ptr<ViewController> self = weak_from_this();
    tweet->setCompletionHandler([this, self](TweetComposeResult result) {
        if (result == TweetComposeResult::Done) {
            logLine("Tweet done.");
            logEvent(kTwitterTweetedEvent);
        } else if (result == TweetComposeResult::Cancelled) {
            logLine("Tweet cancelled.");
        }
        if (!self.expired()) dismissViewControllerAnimated(true);
    });
    presentViewController(std::move(tweet), true);
}

// --- mail ------------------------------------------------------------------------

void SharePopupVC::actionShareEmailButton(QObject*) {
    MailDelivery* delivery = m_services.mail;
    if (!delivery || !delivery->canSendMail()) return;
    const std::optional<QString> body =
        readHtmlResource(m_services.resources / (std::string(kMailBodyResource) + ".html"));
    auto mail = std::make_shared<MailComposeViewController>();
    mail->setMailComposeDelegate(this);
    mail->setSubject(QString::fromUtf8(kMailSubject));
    mail->setMessageBodyIsHTML(body.value_or(QString()), true);
    const Result<QByteArray> png =
        m_shareImage ? pngRepresentation(*m_shareImage) : Result<QByteArray>(QByteArray());
    mail->addAttachmentDataMimeTypeFileName(png.ok() ? *png : QByteArray(), kMailAttachmentType,
                                            kMailAttachmentName);
    mail->setRecipientRequired(delivery->needsRecipient());
    mail->setDelivery([delivery](const MailComposeViewController& composer,
                                 MailComposeViewController::Done done) {
        delivery->deliver(composer, std::move(done));
    });
    presentViewController(std::move(mail), true);
}

void SharePopupVC::mailComposeControllerDidFinishWithResultError(
    MailComposeViewController& controller, MailComposeResult result,
    const std::optional<Error>& error) {
    if (result == MailComposeResult::Sent) logEvent(kEmailSentEvent);
    if (result == MailComposeResult::Failed) {
        logEvent(kEmailFailedEvent);
        // Otherwise the user would never learn that the mail went nowhere.
        if (error) ShowAlert(std::nullopt, error->description());
    }
    controller.dismissViewControllerAnimated(true);
}

// --- the album -------------------------------------------------------------------

void SharePopupVC::actionShareSaveButton(QObject*) {
    if (!m_services.album) {
        logLine("No photo album is available");
        return;
    }
    showThrobber(kSavingImageTitle);
    std::weak_ptr<ViewController> self = weak_from_this();
    m_services.album->saveImage(m_shareImage.value_or(Image()),
                                [this, self](const PhotoAlbum::Outcome& outcome) {
                                    if (self.expired()) {
                                        dismissThrobber();
                                        return;
                                    }
                                    savedOurImageDidFinishSavingWithError(outcome);
                                });
}

void SharePopupVC::savedOurImageDidFinishSavingWithError(const PhotoAlbum::Outcome& outcome) {
    dismissThrobber();
    if (outcome.error || !outcome.file) {
        ShowAlert(std::string(kSaveErrorTitle), kSaveErrorMessage);
        logLine(outcome.error ? outcome.error->description() : "no file was written");
        logEvent(kSaveFailedEvent);
        return;
    }
    logf("The image was saved as {}", outcome.file->string());
    ShowAlert(std::string(kSaveSuccessTitle), kSaveSuccessMessage);
    logEvent(kSaveSucceededEvent);
}

}  // namespace qp
