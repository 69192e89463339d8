// Mail leaving the program: over SMTP to a real server on 127.0.0.1 that the
// test starts, to a closed port and to a server that never answers; and
// through the desktop's mail client, a fake xdg-email on PATH.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ShareFixture.h"
#include "share/SmtpMailDelivery.h"

namespace qp::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A socket bound to a free port on 127.0.0.1; listening or not.
struct LocalPort {
    explicit LocalPort(bool listen) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t size = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
        port = ntohs(address.sin_port);
        if (listen) ::listen(fd, 4);
    }
    ~LocalPort() { close(); }
    void close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    int fd = -1;
    int port = 0;
};

// The Python mail server of Debian's python3-aiosmtpd, for one test.
class SmtpSink {
public:
    explicit SmtpSink(const fs::path& folder) : m_out(folder / "last-mail.json") {
        LocalPort free(false);
        port = free.port;
        free.close();
        // Debian's interpreter, which sees Debian's python3-aiosmtpd.
        m_process.start("/usr/bin/python3",
                        {QString(QP_TEST_DIR "/smtp_sink.py"),
                         QString::fromStdString(m_out.string()), QString::number(port)});
        ready = m_process.waitForReadyRead(20000) &&
                m_process.readAllStandardOutput().startsWith("READY");
        if (!ready) error = m_process.readAllStandardError().toStdString();
    }
    ~SmtpSink() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished();
    }
    QJsonObject lastMail() const {
        QFile in(QString::fromStdString(m_out.string()));
        if (!in.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(in.readAll()).object();
    }
    int port = 0;
    bool ready = false;
    std::string error;

private:
    fs::path m_out;
    QProcess m_process;
};

struct MailOutcome {
    MailComposeResult result = MailComposeResult::Cancelled;
    std::optional<Error> error;
};

// Sends the sheet's mail (subject, HTML body, PNG attachment) to `to`
// through `delivery` and waits for its end on the main queue.
std::optional<MailOutcome> sendThrough(SmtpMailDelivery& delivery, ManualMainQueue& queue,
                                       const QString& to, const QByteArray& png) {
    MailComposeViewController mail;
    mail.setSubject(kMailSubject);
    mail.setMessageBodyIsHTML("<p>Look at <b>this</b></p>", true);
    mail.addAttachmentDataMimeTypeFileName(png, kMailAttachmentType, kMailAttachmentName);
    mail.setRecipientsText(to);
    std::optional<MailOutcome> outcome;
    delivery.deliver(mail, [&](MailComposeResult result, std::optional<Error> error) {
        outcome = MailOutcome{result, std::move(error)};
    });
    if (!queue.runUntil([&] { return outcome.has_value(); }, 30s)) return std::nullopt;
    return outcome;
}

QByteArray samplePng() {
    QImage bitmap(8, 8, QImage::Format_RGB32);
    bitmap.fill(Qt::magenta);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    bitmap.save(&buffer, "PNG");
    return png;
}

TEST(MailSmtp, TheServerGetsRecipientSubjectHtmlBodyAndTheAttachmentsBytes) {
    TempFolder folder;
    SmtpSink sink(folder.path());
    ASSERT_TRUE(sink.ready) << "python3-aiosmtpd (scripts/bootstrap): " << sink.error;
    ManualMainQueue queue;
    SmtpMailDelivery delivery("smtp://127.0.0.1:" + std::to_string(sink.port), "", "", queue);
    const QByteArray png = samplePng();
    std::optional<MailOutcome> outcome = sendThrough(delivery, queue, "ana@example.org", png);
    ASSERT_TRUE(outcome.has_value());
    ASSERT_EQ(outcome->result, MailComposeResult::Sent)
        << (outcome->error ? outcome->error->description() : "");
    const QJsonObject mail = sink.lastMail();
    EXPECT_EQ(mail["rcpt_tos"].toArray(), QJsonArray{"ana@example.org"});
    EXPECT_EQ(mail["subject"].toString(), kMailSubject);
    EXPECT_EQ(mail["to"].toString(), "ana@example.org");
    EXPECT_EQ(mail["content_type"].toString(), "multipart/mixed");
    const QJsonArray parts = mail["parts"].toArray();
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0]["type"].toString(), "text/html");
    EXPECT_EQ(QByteArray::fromBase64(parts[0]["data"].toString().toLatin1()),
              "<p>Look at <b>this</b></p>");
    EXPECT_EQ(parts[1]["type"].toString(), "image/png");
    EXPECT_EQ(parts[1]["filename"].toString(), "myQuillpost.png");
    EXPECT_EQ(QByteArray::fromBase64(parts[1]["data"].toString().toLatin1()), png);
}

TEST(MailSmtp, AClosedPortOrASilentServerEndsInFailedWithAReason) {
    ManualMainQueue queue;
    LocalPort closed(false);
    const int closedPort = closed.port;
    closed.close();
    LocalPort silent(true);  // accepts connections, never greets
    for (int port : {closedPort, silent.port}) {
        SCOPED_TRACE(port);
        SmtpMailDelivery delivery("smtp://127.0.0.1:" + std::to_string(port), "", "", queue);
        delivery.setTimeouts(2s, 1s);
        std::optional<MailOutcome> outcome = sendThrough(delivery, queue, "ana@example.org", "x");
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(outcome->result, MailComposeResult::Failed);
        ASSERT_TRUE(outcome->error.has_value());
        EXPECT_NE(outcome->error->description().find("smtp_url"), std::string::npos);
    }
}

TEST(MailSmtp, ThePasswordComesFromTheEnvironmentOrAnOwnerOnlyFile) {
    TempFolder folder;
    const fs::path file = folder.path() / "password";
    std::ofstream(file) << "s3cret\n";
    ::unsetenv(kSmtpPasswordVariable);

    ::chmod(file.c_str(), 0644);
    Result<std::optional<std::string>> open = readSmtpPassword(file);
    ASSERT_FALSE(open.ok());
    EXPECT_NE(open.error().description().find("chmod 600"), std::string::npos);
    EXPECT_EQ(open.error().description().find("s3cret"), std::string::npos);

    ::chmod(file.c_str(), 0600);
    Result<std::optional<std::string>> read = readSmtpPassword(file);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, std::optional<std::string>("s3cret"));

    EXPECT_FALSE(readSmtpPassword(folder.path() / "missing").ok());
    EXPECT_EQ(*readSmtpPassword(""), std::nullopt);

    ::setenv(kSmtpPasswordVariable, "from-env", 1);
    EXPECT_EQ(*readSmtpPassword(folder.path() / "missing"), std::optional<std::string>("from-env"));
    ::unsetenv(kSmtpPasswordVariable);
}

TEST(MailSmtp, AnOpenPasswordFileFailsTheSendWithoutConnecting) {
    TempFolder folder;
    const fs::path file = folder.path() / "password";
    std::ofstream(file) << "s3cret";
    ::chmod(file.c_str(), 0640);
    ::unsetenv(kSmtpPasswordVariable);
    ManualMainQueue queue;
    LocalPort closed(false);
    SmtpMailDelivery delivery("smtp://127.0.0.1:" + std::to_string(closed.port), "me", file, queue);
    std::optional<MailOutcome> outcome = sendThrough(delivery, queue, "ana@example.org", "x");
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->result, MailComposeResult::Failed);
    ASSERT_TRUE(outcome->error.has_value());
    EXPECT_EQ(outcome->error->code(), kSmtpErrorPassword);
}

// A fake xdg-email that writes its arguments, one a line, into a pipe the
// test reads.
class FakeXdgEmail {
public:
    FakeXdgEmail() : m_oldPath(std::getenv("PATH") ? std::getenv("PATH") : "") {
        const fs::path fifo = m_folder.path() / "arguments";
        ::mkfifo(fifo.c_str(), 0600);
        const fs::path script = m_folder.path() / "xdg-email";
        std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                              << fifo << "\n";
        ::chmod(script.c_str(), 0700);
        ::setenv("PATH", (m_folder.path().string() + ":" + m_oldPath).c_str(), 1);
        m_fifo = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    }
    ~FakeXdgEmail() {
        ::close(m_fifo);
        ::setenv("PATH", m_oldPath.c_str(), 1);
    }
    // The arguments of the one run, once it has written them all.
    std::vector<std::string> arguments() {
        std::string text;
        char buffer[4096];
        pollfd waiting{m_fifo, POLLIN, 0};
        while (::poll(&waiting, 1, 20000) > 0) {
            const ssize_t got = ::read(m_fifo, buffer, sizeof buffer);
            if (got <= 0) break;  // the writer closed: all is there
            text.append(buffer, static_cast<std::size_t>(got));
        }
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    TempFolder m_folder;
    std::string m_oldPath;
    int m_fifo = -1;
};

TEST(MailDesktop, XdgEmailGetsSubjectPlainBodyAndTheAttachmentAndTheResultIsSaved) {
    FakeXdgEmail xdgEmail;
    ShareFixture f;
    DesktopMailClientDelivery desktop;
    ASSERT_TRUE(desktop.canSendMail());
    ShareServices services = f.services();
    services.mail = &desktop;
    auto sheet = std::make_shared<SharePopupVC>("SharePopupVC_iPhone", services);
    sheet->setTheShareImage(squareImage(Qt::green));
    f.root->presentViewController(sheet, false);
    sheet->actionShareEmailButton(nullptr);
    auto* mail = dynamic_cast<MailComposeViewController*>(sheet->presentedViewController());
    ASSERT_NE(mail, nullptr);
    mail->send();
    f.settle();
    EXPECT_EQ(sheet->presentedViewController(), nullptr);
    EXPECT_TRUE(f.analytics.events.empty());  // handed over, not known to be sent

    const std::vector<std::string> arguments = xdgEmail.arguments();
    ASSERT_GE(arguments.size(), 6u);
    EXPECT_EQ(arguments[0], "--subject");
    EXPECT_EQ(arguments[1], kMailSubject);
    EXPECT_EQ(arguments[2], "--body");
    EXPECT_EQ(arguments[3].find('<'), std::string::npos);  // plain text, no tags
    const auto attach = std::find(arguments.begin(), arguments.end(), "--attach");
    ASSERT_NE(attach, arguments.end());
    ASSERT_NE(attach + 1, arguments.end());
    EXPECT_EQ(fs::path(*(attach + 1)).filename(), "myQuillpost.png");
    QImage attached(QString::fromStdString(*(attach + 1)), "PNG");
    EXPECT_EQ(attached.pixelColor(5, 5), QColor(Qt::green));
    EXPECT_EQ(arguments.back(), *(attach + 1));  // no recipient follows
}

}  // namespace
}  // namespace qp::test
