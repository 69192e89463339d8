#pragma once
// Direct delivery over SMTP with libcurl, when the configuration names a
// server: one multipart/mixed message with the HTML body and the attachments,
// sent on a worker thread so a slow server never holds up the window.

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/MainQueue.h"
#include "platform/Result.h"
#include "share/MailDelivery.h"

namespace qp {

inline constexpr const char* kSmtpPasswordVariable = "QUILLPOST_SMTP_PASSWORD";
enum SmtpErrorCode {
    kSmtpErrorPassword = 10,  // the password file is missing, unreadable or open to others
    kSmtpErrorTransfer = 11,  // the server refused, stalled or could not be reached
};

struct SmtpSettings {
    std::string url;   // smtp://host:port or smtps://host:port
    std::string user;  // empty: no login
    std::optional<std::string> password;
    // The sender's address: the user name when it is an address, else
    // "quillpost@" and the server's host.
    std::string from;
    std::chrono::seconds connectTimeout{15};
    // A server that answers nothing for this long fails the send.
    std::chrono::seconds stallTimeout{30};
};

// The password: the environment variable when set, else the file (which must
// be a regular file readable by its owner only; a trailing line break is
// dropped), else none.
Result<std::optional<std::string>> readSmtpPassword(const std::filesystem::path& passwordFile);

// The settings for `url` and `user`; the sender derived as described above.
SmtpSettings smtpSettingsFor(std::string url, std::string user,
                             std::optional<std::string> password);

// The message as it travels: fully decoded pieces, for sending.
struct SmtpMessage {
    std::vector<std::string> recipients;
    std::string subject;
    std::string htmlBody;
    std::vector<ComposeAttachment> attachments;
};

// Sends on the calling thread; `cancel` stops a send in progress. The error
// says what went wrong, never the password.
Result<void> sendSmtpMessage(const SmtpSettings& settings, const SmtpMessage& message,
                             const std::atomic<bool>& cancel);

class SmtpMailDelivery final : public MailDelivery {
public:
    // `passwordFile` is read at each send (empty: none).
    SmtpMailDelivery(std::string url, std::string user, std::filesystem::path passwordFile,
                     MainQueue& mainQueue);
    // Stops sends in progress and waits for their threads.
    ~SmtpMailDelivery() override;
    SmtpMailDelivery(const SmtpMailDelivery&) = delete;
    SmtpMailDelivery& operator=(const SmtpMailDelivery&) = delete;

    bool canSendMail() const override { return true; }
    bool needsRecipient() const override { return true; }
    void deliver(const MailComposeViewController& mail,
                 MailComposeViewController::Done done) override;

    // Shortens the timeouts (tests of a stalled server).
    void setTimeouts(std::chrono::seconds connect, std::chrono::seconds stall);
    void waitForSends();

private:
    std::string m_url;
    std::string m_user;
    std::filesystem::path m_passwordFile;
    MainQueue& m_mainQueue;
    std::chrono::seconds m_connectTimeout{15};
    std::chrono::seconds m_stallTimeout{30};
    std::atomic<bool> m_cancel{false};
    std::mutex m_mutex;
    std::vector<std::thread> m_workers;
};

}  // namespace qp
