#pragma once
// The share sheet's services on this desktop, made once for the run from the
// configuration: the album folder, mail through the desktop's mail client or
// SMTP, the tweet's web intent, the open-in menu and the social-network client.

#include <functional>
#include <memory>
#include <string>

#include "appkit/OpenURLHandler.h"
#include "share/DesktopTweetPublisher.h"
#include "share/FolderPhotoAlbum.h"
#include "share/MailDelivery.h"
#include "share/SharePopupVC.h"
#include "share/SmtpMailDelivery.h"
#include "share/XdgDocumentInteraction.h"

namespace qp {

class AnalyticsRecorder;
class Configuration;
class Paths;

struct DesktopShareEnvironment {
    const Configuration& config;
    const Paths& paths;
    MainQueue& mainQueue;
    UrlOpener& urlOpener;
    HttpClient& http;
    const Clock& clock;
    AnalyticsRecorder* analytics = nullptr;
    UserDefaults* defaults = nullptr;
    bool multitaskingSupported = true;
    // The in-app login and dialogs (may be null: the browser logs in).
    FBDialogFactory* facebookDialogs = nullptr;
    // Makes a client the application's, for URLs opened into the app.
    std::function<void(std::shared_ptr<OpenURLHandler>)> setApplicationFacebook;
};

class DesktopShareServices {
public:
    explicit DesktopShareServices(DesktopShareEnvironment environment);

    const ShareServices& services() const { return m_services; }
    // The factory the editor uses: a new sheet for every share.
    std::function<std::shared_ptr<ViewController>(const std::string& layout, const Image& image)>
    sheetFactory() const;

private:
    DesktopShareEnvironment m_environment;
    FolderPhotoAlbum m_album;
    DesktopMailClientDelivery m_desktopMail;
    std::unique_ptr<SmtpMailDelivery> m_smtpMail;
    DesktopTweetPublisher m_tweets;
    XdgDocumentInteractionService m_documentInteraction;
    ShareServices m_services;
};

}  // namespace qp
