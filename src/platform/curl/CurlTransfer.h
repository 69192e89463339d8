#pragma once
// One HTTP exchange on libcurl, run to its end on the calling thread. It
// reports the final response's headers once, then the body in chunks, and
// can be cancelled from any thread. Both send() and background tasks use it.

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <string>

#include "platform/HttpClient.h"

namespace qp {

// Receives what a transfer reads, on the transfer's thread.
class CurlTransferSink {
public:
    virtual ~CurlTransferSink() = default;
    // The final response's status, URL and headers; its body is empty.
    virtual void responseReceived(const HttpResponse& headersOnly) = 0;
    virtual void dataReceived(const char* bytes, std::size_t size) = 0;
};

class CurlTransfer {
public:
    // `share` (may be null) carries the cookie store; it is used only when the
    // request wants cookies.
    CurlTransfer(HttpRequest request, CURLSH* share);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Runs the exchange once. Errors are in kHttpErrorDomain.
    Result<void> run(CurlTransferSink& sink);

    // Makes a running or future run() stop promptly with Cancelled. Safe from
    // any thread while the transfer exists.
    void cancel();

    // Checks a request before anything is sent: an http(s) URL, a method that
    // is a single token, header names and values without line breaks.
    static Result<void> validate(const HttpRequest& request);

private:
    enum class Abort { None, Cancelled, TimedOut, TooLarge };

    Result<void> configure(CURL* easy, curl_slist** headerList);
    Result<void> perform(CURL* easy);
    Error errorFor(CURLcode code) const;
    bool idleTooLong() const;
    void noteActivity();
    void headerLine(const char* data, std::size_t size);
    void emitResponse();

    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t ulTotal,
                          curl_off_t ulNow);

    HttpRequest m_request;
    CURLSH* m_share;
    CURLM* m_multi;
    std::atomic<bool> m_cancelled{false};

    // Touched only by the thread inside run().
    CurlTransferSink* m_sink = nullptr;
    CURL* m_easy = nullptr;
    Abort m_abort = Abort::None;
    std::chrono::steady_clock::time_point m_lastActivity;
    curl_off_t m_lastDownloaded = 0;
    curl_off_t m_lastUploaded = 0;
    std::size_t m_bodyBytes = 0;
    char m_errorText[CURL_ERROR_SIZE] = {};
    HttpResponse m_pending;  // the header block being read
    bool m_blockComplete = false;
    bool m_responseSent = false;
};

}  // namespace qp
