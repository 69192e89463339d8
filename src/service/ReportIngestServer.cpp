#include "service/ReportIngestServer.h"

#include <httplib.h>

#include <cctype>

#include "service/ReportIngest.h"
#include "service/ServiceErrors.h"

namespace qp {
namespace {

constexpr int kOk = 200;
constexpr int kBadRequest = 400;
constexpr int kPayloadTooLarge = 413;
constexpr int kUnsupportedMediaType = 415;
constexpr int kServiceUnavailable = 503;
constexpr time_t kKeepAliveSeconds = 2;

std::string describe(const StoreOutcome& outcome) {
    return "stored " + std::to_string(outcome.added) + " new, " + std::to_string(outcome.replaced) +
           " fuller, kept " + std::to_string(outcome.kept) + " as they were";
}

// The media type without parameters such as "; charset=…", in lower case.
std::string mediaType(const std::string& header) {
    std::string type = header.substr(0, header.find(';'));
    while (!type.empty() && type.back() == ' ') type.pop_back();
    for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return type;
}

}  // namespace

ReportIngestServer::ReportIngestServer(AnalyticsStore& store)
    : m_server(std::make_unique<httplib::Server>()), m_store(store) {
    // httplib answers 413 itself, before reading, past this size.
    m_server->set_payload_max_length(kMaxReportBytes);
    // An idle kept-alive connection holds a worker, and a stop waits for it.
    m_server->set_keep_alive_timeout(kKeepAliveSeconds);
    m_server->Post(kReportPath, [this](const httplib::Request& request,
                                       httplib::Response& response) {
        const auto answer = [&](int status, const std::string& line) {
            response.status = status;
            response.set_content(line + "\n", "text/plain; charset=utf-8");
            if (m_observer) m_observer(status, line);
        };
        if (mediaType(request.get_header_value("Content-Type")) != kReportContentType) {
            return answer(kUnsupportedMediaType,
                          std::string("Reports are sent as ") + kReportContentType);
        }
        Result<PreparedReport> report = prepareReport(request.body);
        if (!report.ok()) {
            const bool tooLarge =
                report.error().code() == static_cast<int>(ServiceErrorCode::ReportTooLarge);
            return answer(tooLarge ? kPayloadTooLarge : kBadRequest, report.error().description());
        }
        Result<StoreOutcome> stored = m_store.storeReport(*report);
        if (!stored.ok()) return answer(kServiceUnavailable, stored.error().description());
        answer(kOk, describe(*stored));
    });
}

ReportIngestServer::~ReportIngestServer() {
    stop();
}

Result<int> ReportIngestServer::bind(const std::string& host, int port) {
    const bool any = port == 0;
    const int bound = any ? m_server->bind_to_any_port(host) : port;
    if (bound <= 0 || (!any && !m_server->bind_to_port(host, port))) {
        return serviceError(ServiceErrorCode::CannotListen,
                            "Cannot listen on " + host + ":" + std::to_string(port) +
                                "; is another program using that port, or the address not "
                                "one of this machine's?");
    }
    return bound;
}

bool ReportIngestServer::listen() {
    return m_server->listen_after_bind();
}

void ReportIngestServer::stop() {
    m_server->stop();
}

bool ReportIngestServer::isRunning() const {
    return m_server->is_running();
}

void ReportIngestServer::setReportObserver(
    std::function<void(int status, const std::string& line)> observer) {
    m_observer = std::move(observer);
}

}  // namespace qp
