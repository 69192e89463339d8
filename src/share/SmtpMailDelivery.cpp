#include "share/SmtpMailDelivery.h"

#include <curl/curl.h>

#include <QTextDocumentFragment>
#include <QUrl>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include <sys/stat.h>

#include "platform/Log.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

Error smtpError(int code, const std::string& what) {
    return Error(kMailErrorDomain, code, {{kLocalizedDescriptionKey, what}});
}

bool isAscii(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80 || c == '\r' || c == '\n') return false;
    }
    return true;
}

// A header value as RFC 2047 base64 words when it is not plain ASCII; line
// breaks never reach the header.
std::string headerText(const std::string& text) {
    if (isAscii(text)) return text;
    std::string flat;
    for (char c : text) flat += (c == '\r' || c == '\n') ? ' ' : c;
    return "=?UTF-8?B?" + QByteArray::fromStdString(flat).toBase64().toStdString() + "?=";
}

// Keeps an address to what a header and an envelope may hold.
std::string cleanAddress(const std::string& address) {
    std::string out;
    for (char c : address) {
        if (c != '\r' && c != '\n' && c != '<' && c != '>' && c != ',') out += c;
    }
    return out;
}

struct CurlEasy {
    CURL* handle = curl_easy_init();
    curl_slist* recipients = nullptr;
    curl_slist* headers = nullptr;
    curl_mime* mime = nullptr;
    ~CurlEasy() {
        if (mime) curl_mime_free(mime);
        curl_slist_free_all(recipients);
        curl_slist_free_all(headers);
        if (handle) curl_easy_cleanup(handle);
    }
};

int onProgress(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

}  // namespace

Result<std::optional<std::string>> readSmtpPassword(const fs::path& passwordFile) {
    if (const char* fromEnvironment = std::getenv(kSmtpPasswordVariable))
        return std::optional<std::string>(fromEnvironment);
    if (passwordFile.empty()) return std::optional<std::string>();
    struct stat info {};
    if (::stat(passwordFile.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return smtpError(kSmtpErrorPassword, "The SMTP password file " + passwordFile.string() +
                                                 " is missing; create it or correct "
                                                 "smtp_password_file.");
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return smtpError(kSmtpErrorPassword,
                         "The SMTP password file " + passwordFile.string() +
                             " can be read by others; make it yours alone with chmod 600 " +
                             passwordFile.string() + ".");
    }
    std::ifstream in(passwordFile, std::ios::binary);
    if (!in) {
        return smtpError(kSmtpErrorPassword,
                         "The SMTP password file " + passwordFile.string() + " cannot be read.");
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string password = text.str();
    while (!password.empty() && (password.back() == '\n' || password.back() == '\r'))
        password.pop_back();
    return std::optional<std::string>(std::move(password));
}

SmtpSettings smtpSettingsFor(std::string url, std::string user,
                             std::optional<std::string> password) {
    SmtpSettings settings;
    settings.from = user.find('@') != std::string::npos
                        ? user
                        : "quillpost@" + QUrl(QString::fromStdString(url)).host().toStdString();
    settings.url = std::move(url);
    settings.user = std::move(user);
    settings.password = std::move(password);
    return settings;
}

Result<void> sendSmtpMessage(const SmtpSettings& settings, const SmtpMessage& message,
                             const std::atomic<bool>& cancel) {
    CurlEasy curl;
    if (!curl.handle) return smtpError(kSmtpErrorTransfer, "libcurl could not start");
    CURL* h = curl.handle;
    std::string to;
    for (const std::string& recipient : message.recipients) {
        const std::string address = cleanAddress(recipient);
        curl.recipients = curl_slist_append(curl.recipients, ("<" + address + ">").c_str());
        to += (to.empty() ? "" : ", ") + address;
    }
    const std::string from = cleanAddress(settings.from);
    curl_easy_setopt(h, CURLOPT_URL, settings.url.c_str());
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, ("<" + from + ">").c_str());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, curl.recipients);
    if (!settings.user.empty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, settings.user.c_str());
        if (settings.password) curl_easy_setopt(h, CURLOPT_PASSWORD, settings.password->c_str());
        // A password leaves this machine only over an encrypted connection.
        const QString host = QUrl(QString::fromStdString(settings.url)).host();
        const bool local = host == "127.0.0.1" || host == "localhost" || host == "::1";
        curl_easy_setopt(h, CURLOPT_USE_SSL,
                         static_cast<long>(local ? CURLUSESSL_TRY : CURLUSESSL_ALL));
    }
    curl.headers = curl_slist_append(curl.headers, ("From: <" + from + ">").c_str());
    curl.headers = curl_slist_append(curl.headers, ("To: " + to).c_str());
    curl.headers =
        curl_slist_append(curl.headers, ("Subject: " + headerText(message.subject)).c_str());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, curl.headers);

    curl.mime = curl_mime_init(h);
    curl_mimepart* body = curl_mime_addpart(curl.mime);
    curl_mime_data(body, message.htmlBody.data(), message.htmlBody.size());
    curl_mime_type(body, "text/html; charset=utf-8");
    curl_mime_encoder(body, "quoted-printable");
    for (const ComposeAttachment& attachment : message.attachments) {
        curl_mimepart* part = curl_mime_addpart(curl.mime);
        curl_mime_data(part, attachment.data.constData(),
                       static_cast<size_t>(attachment.data.size()));
        curl_mime_type(part, attachment.mimeType.toStdString().c_str());
        curl_mime_filename(part, attachment.fileName.toStdString().c_str());
        curl_mime_encoder(part, "base64");
    }
    curl_easy_setopt(h, CURLOPT_MIMEPOST, curl.mime);

    const long stall = static_cast<long>(settings.stallTimeout.count());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(settings.connectTimeout.count()));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, stall);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, stall);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&cancel));

    const CURLcode code = curl_easy_perform(h);
    if (code == CURLE_OK) return {};
    long answer = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer);
    std::string what = "The mail was not sent: " + std::string(curl_easy_strerror(code));
    if (answer != 0) what += " (the server answered " + std::to_string(answer) + ")";
    return smtpError(kSmtpErrorTransfer, what + ". Check smtp_url and smtp_user.");
}

SmtpMailDelivery::SmtpMailDelivery(std::string url, std::string user, fs::path passwordFile,
                                   MainQueue& mainQueue)
    : m_url(std::move(url)),
      m_user(std::move(user)),
      m_passwordFile(std::move(passwordFile)),
      m_mainQueue(mainQueue) {}

SmtpMailDelivery::~SmtpMailDelivery() {
    m_cancel = true;
    waitForSends();
}

void SmtpMailDelivery::setTimeouts(std::chrono::seconds connect, std::chrono::seconds stall) {
    m_connectTimeout = connect;
    m_stallTimeout = stall;
}

void SmtpMailDelivery::waitForSends() {
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(m_mutex);
        workers.swap(m_workers);
    }
    for (std::thread& worker : workers) worker.join();
}

void SmtpMailDelivery::deliver(const MailComposeViewController& mail,
                               MailComposeViewController::Done done) {
    Result<std::optional<std::string>> password = readSmtpPassword(m_passwordFile);
    if (!password.ok()) {
        logf("Mail: {}", password.error().description());
        done(MailComposeResult::Failed, password.error());
        return;
    }
    SmtpSettings settings = smtpSettingsFor(m_url, m_user, std::move(*password));
    settings.connectTimeout = m_connectTimeout;
    settings.stallTimeout = m_stallTimeout;
    SmtpMessage message;
    for (const QString& recipient : mail.message().recipients)
        message.recipients.push_back(recipient.toStdString());
    message.subject = mail.message().subject.toStdString();
    message.htmlBody = mail.isBodyHTML()
                           ? mail.messageBody().toStdString()
                           : "<pre>" + mail.messageBody().toHtmlEscaped().toStdString() + "</pre>";
    message.attachments = mail.message().attachments;
    std::thread worker([this, settings = std::move(settings), message = std::move(message),
                        done = std::move(done)] {
        Result<void> sent = sendSmtpMessage(settings, message, m_cancel);
        if (!sent.ok()) logf("Mail: {}", sent.error().description());
        m_mainQueue.post([done, sent] {
            if (sent.ok()) {
                done(MailComposeResult::Sent, std::nullopt);
            } else {
                done(MailComposeResult::Failed, sent.error());
            }
        });
    });
    std::lock_guard lock(m_mutex);
    m_workers.push_back(std::move(worker));
}

}  // namespace qp
