#include "share/DesktopShareServices.h"

#include <QUrl>

#include "appkit/Configuration.h"
#include "facebook/FacebookAppId.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "share/FacebookURLHandler.h"

namespace qp {

namespace {
// Under the caches folder: the copies handed to other programs.
constexpr const char* kOpenInFolder = "OpenIn";
}  // namespace

DesktopShareServices::DesktopShareServices(DesktopShareEnvironment environment)
    : m_environment(std::move(environment)),
      m_album(albumFolderFor(m_environment.config.value(config::kAlbumFolder)),
              m_environment.mainQueue),
      m_tweets(m_environment.urlOpener, m_album),
      m_documentInteraction(m_environment.paths.caches() / kOpenInFolder) {
    const Configuration& config = m_environment.config;
    if (const std::string url = config.value(config::kSmtpUrl); !url.empty()) {
        m_smtpMail = std::make_unique<SmtpMailDelivery>(url, config.value(config::kSmtpUser),
                                                        config.value(config::kSmtpPasswordFile),
                                                        m_environment.mainQueue);
        // The host only: a URL may carry a login.
        logf("Mail goes directly to the SMTP server {}",
             QUrl(QString::fromStdString(url)).host().toStdString());
    }
    m_services.analytics = m_environment.analytics;
    m_services.defaults = m_environment.defaults;
    m_services.urlOpener = &m_environment.urlOpener;
    m_services.documents = m_environment.paths.documents();
    m_services.resources = m_environment.paths.resources();
    m_services.documentInteraction = &m_documentInteraction;
    m_services.album = &m_album;
    m_services.mail = m_smtpMail ? static_cast<MailDelivery*>(m_smtpMail.get()) : &m_desktopMail;
    m_services.tweets = &m_tweets;
    FacebookServices facebook{
        m_environment.http,
        m_environment.urlOpener,
        m_environment.clock,
        m_environment.facebookDialogs,
        m_environment.multitaskingSupported,
        {config.value(config::kFacebookGraphUrl), config.value(config::kFacebookRestUrl),
         config.value(config::kFacebookDialogUrl), config.value(config::kFacebookLoginSite)}};
    m_services.makeFacebook = [facebook](FBSessionDelegate* delegate) {
        return std::make_shared<Facebook>(facebook, facebookAppId(), delegate);
    };
    m_services.adoptFacebook =
        [set = m_environment.setApplicationFacebook](const std::shared_ptr<Facebook>& client) {
            if (set) set(std::make_shared<FacebookURLHandler>(client));
        };
}

std::function<std::shared_ptr<ViewController>(const std::string&, const Image&)>
DesktopShareServices::sheetFactory() const {
    return [services = m_services](const std::string& layout,
                                   const Image& image) -> std::shared_ptr<ViewController> {
        auto sheet = std::make_shared<SharePopupVC>(layout, services);
        sheet->setTheShareImage(image);
        return sheet;
    };
}

}  // namespace qp
