#include "platform/curl/CurlTransfer.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "platform/curl/CurlGlobal.h"

namespace qp {

namespace {

constexpr const char* kCurlErrorDomain = "curl";
constexpr const char* kFailingUrlKey = "url";
constexpr const char* kAllowedProtocols = "http,https";
constexpr const char* kDefaultUserAgent = "Quillpost";
constexpr long kMaxRedirects = 16;
// Even with no time-out the loop wakes this often to look at the clock.
constexpr long kLongestWaitMs = 1000;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isTokenChar(unsigned char c) {
    return std::isalnum(c) || std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

bool isToken(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c != '\0' && isTokenChar(static_cast<unsigned char>(c));
    });
}

bool hasControlChar(const std::string& text, bool allowTab) {
    return std::any_of(text.begin(), text.end(), [allowTab](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return (c < 0x20 && !(allowTab && c == '\t')) || c == 0x7f;
    });
}

Error httpError(HttpErrorCode code, const std::string& description, const std::string& url) {
    return Error(kHttpErrorDomain, static_cast<int>(code),
                 {{kLocalizedDescriptionKey, description}, {kFailingUrlKey, url}});
}

// The URL's scheme, lower-cased, or nothing when it does not start with one.
std::optional<std::string> schemeOf(const std::string& url) {
    const auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0) return std::nullopt;
    if (!std::isalpha(static_cast<unsigned char>(url[0]))) return std::nullopt;
    for (std::size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return std::nullopt;
    }
    return lowercase(url.substr(0, colon));
}

bool isFollowedRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::string trimmed(const char* begin, const char* end) {
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) --end;
    return std::string(begin, end);
}

}  // namespace

CurlTransfer::CurlTransfer(HttpRequest request, CURLSH* share)
    : m_request(std::move(request)), m_share(share) {
    ensureCurlGlobalInit();
    m_multi = curl_multi_init();
}

CurlTransfer::~CurlTransfer() {
    if (m_multi) curl_multi_cleanup(m_multi);
}

void CurlTransfer::cancel() {
    m_cancelled = true;
    if (m_multi) curl_multi_wakeup(m_multi);
}

Result<void> CurlTransfer::validate(const HttpRequest& request) {
    const auto scheme = schemeOf(request.url);
    if (!scheme) return httpError(HttpErrorCode::Failed, "bad URL", request.url);
    if (*scheme != "http" && *scheme != "https") {
        return httpError(HttpErrorCode::UnsupportedURL, "unsupported URL", request.url);
    }
    if (hasControlChar(request.url, false) || request.url.find(' ') != std::string::npos) {
        return httpError(HttpErrorCode::Failed, "bad URL", request.url);
    }
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, request.url.c_str(), 0) != CURLUE_OK) {
        return httpError(HttpErrorCode::Failed, "bad URL", request.url);
    }
    // A method or header that could end the line early would let the caller's
    // data write extra lines into the request.
    if (!isToken(request.method)) {
        return httpError(HttpErrorCode::Failed, "bad HTTP method", request.url);
    }
    for (const auto& [name, value] : request.headers) {
        if (!isToken(name) || hasControlChar(value, true)) {
            return httpError(HttpErrorCode::Failed, "bad header field: " + name, request.url);
        }
    }
    return {};
}

Result<void> CurlTransfer::run(CurlTransferSink& sink) {
    if (auto valid = validate(m_request); !valid) return valid;
    if (!m_multi) return httpError(HttpErrorCode::Failed, "out of memory", m_request.url);
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return httpError(HttpErrorCode::Failed, "out of memory", m_request.url);

    m_sink = &sink;
    m_easy = easy.get();
    m_abort = Abort::None;
    m_bodyBytes = 0;
    m_pending = HttpResponse();
    m_blockComplete = false;
    m_responseSent = false;

    curl_slist* headerList = nullptr;
    Result<void> result = configure(easy.get(), &headerList);
    std::unique_ptr<curl_slist, SlistDeleter> headers(headerList);
    if (result) result = perform(easy.get());
    m_sink = nullptr;
    m_easy = nullptr;
    return result;
}

Result<void> CurlTransfer::configure(CURL* easy, curl_slist** headerList) {
    const HttpRequest& r = m_request;
    curl_easy_setopt(easy, CURLOPT_URL, r.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Cancelling must not wait for a slow name lookup to come back.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::onWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CurlTransfer::onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    if (r.timeout.count() > 0) {
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(r.timeout.count()));
    }
    if (r.useCookies && m_share) {
        curl_easy_setopt(easy, CURLOPT_SHARE, m_share);
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");  // turns the cookie engine on
    }

    const std::string method = r.method;
    const bool sendsBody = !r.body.empty() || method == "POST";
    if (method == "GET") {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        if (sendsBody) {
            curl_easy_setopt(easy, CURLOPT_POST, 1L);
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(r.body.size()));
            curl_easy_setopt(easy, CURLOPT_POSTFIELDS, r.body.data());
        }
        if (method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    // Later values of a field replace earlier ones; the field keeps its place.
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& header : r.headers) {
        const std::string name = lowercase(header.first);
        auto same = std::find_if(fields.begin(), fields.end(),
                                 [&](const auto& f) { return lowercase(f.first) == name; });
        if (same == fields.end()) {
            fields.emplace_back(header.first, header.second);
        } else {
            same->second = header.second;
        }
    }
    if (!r.header("User-Agent")) curl_easy_setopt(easy, CURLOPT_USERAGENT, kDefaultUserAgent);
    // Waiting for "100 Continue" only slows posts down with servers that never send it.
    const bool expectGiven = r.header("Expect").has_value();
    std::vector<std::string> lines;
    for (const auto& [name, value] : fields) {
        // "Name;" is how libcurl sends a field with an empty value; "Name:" would drop it.
        lines.push_back(value.empty() ? name + ";" : name + ": " + value);
    }
    if (!expectGiven) lines.emplace_back("Expect:");
    for (const std::string& line : lines) {
        curl_slist* grown = curl_slist_append(*headerList, line.c_str());
        if (!grown) return httpError(HttpErrorCode::Failed, "out of memory", r.url);
        *headerList = grown;
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, *headerList);
    return {};
}

Result<void> CurlTransfer::perform(CURL* easy) {
    if (curl_multi_add_handle(m_multi, easy) != CURLM_OK) {
        return httpError(HttpErrorCode::Failed, "could not start the transfer", m_request.url);
    }
    noteActivity();
    std::optional<CURLcode> outcome;
    std::string multiFailure;
    while (!outcome && m_abort == Abort::None) {
        if (m_cancelled) {
            m_abort = Abort::Cancelled;
            break;
        }
        int running = 0;
        if (CURLMcode code = curl_multi_perform(m_multi, &running); code != CURLM_OK) {
            multiFailure = curl_multi_strerror(code);
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg == CURLMSG_DONE) outcome = message->data.result;
        }
        if (outcome || m_abort != Abort::None) break;
        if (idleTooLong()) {
            m_abort = Abort::TimedOut;
            break;
        }
        long waitMs = kLongestWaitMs;
        if (m_request.timeout.count() > 0) {
            const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - m_lastActivity);
            waitMs = std::clamp<long>(static_cast<long>((m_request.timeout - idle).count()) + 1, 1,
                                      kLongestWaitMs);
        }
        curl_multi_poll(m_multi, nullptr, 0, static_cast<int>(waitMs), nullptr);
    }
    curl_multi_remove_handle(m_multi, easy);

    if (m_abort == Abort::Cancelled || (m_cancelled && !outcome)) {
        return httpError(HttpErrorCode::Cancelled, "cancelled", m_request.url);
    }
    if (m_abort == Abort::TimedOut) {
        return httpError(HttpErrorCode::TimedOut, "the request timed out", m_request.url);
    }
    if (m_abort == Abort::TooLarge) {
        return httpError(
            HttpErrorCode::TooLarge,
            "the response is larger than " + std::to_string(m_request.maxResponseBytes) + " bytes",
            m_request.url);
    }
    if (!multiFailure.empty()) {
        return httpError(HttpErrorCode::Failed, multiFailure, m_request.url);
    }
    if (*outcome != CURLE_OK) return errorFor(*outcome);
    if (!m_responseSent) emitResponse();
    return {};
}

Error CurlTransfer::errorFor(CURLcode code) const {
    HttpErrorCode httpCode = HttpErrorCode::Failed;
    if (code == CURLE_UNSUPPORTED_PROTOCOL) httpCode = HttpErrorCode::UnsupportedURL;
    if (code == CURLE_OPERATION_TIMEDOUT) httpCode = HttpErrorCode::TimedOut;
    const std::string text = m_errorText[0] ? m_errorText : curl_easy_strerror(code);
    Error cause(kCurlErrorDomain, static_cast<int>(code), {{kLocalizedDescriptionKey, text}});
    return Error(kHttpErrorDomain, static_cast<int>(httpCode),
                 {{kLocalizedDescriptionKey, text}, {kFailingUrlKey, m_request.url}},
                 std::move(cause));
}

bool CurlTransfer::idleTooLong() const {
    return m_request.timeout.count() > 0 &&
           std::chrono::steady_clock::now() - m_lastActivity >= m_request.timeout;
}

void CurlTransfer::noteActivity() {
    m_lastActivity = std::chrono::steady_clock::now();
}

void CurlTransfer::headerLine(const char* data, std::size_t size) {
    const char* end = data + size;
    while (end > data && (end[-1] == '\r' || end[-1] == '\n')) --end;
    // Trailers after the body, or anything after the answer was handed on.
    if (m_responseSent) return;

    const std::string_view line(data, static_cast<std::size_t>(end - data));
    if (line.rfind("HTTP/", 0) == 0) {
        m_pending = HttpResponse();
        m_blockComplete = false;
        const auto space = line.find(' ');
        if (space != std::string_view::npos) {
            int status = 0;
            for (std::size_t i = space + 1; i < line.size() && std::isdigit(line[i]); ++i) {
                status = status * 10 + (line[i] - '0');
                if (status > 999) break;
            }
            m_pending.statusCode = status;
        }
        return;
    }
    if (line.empty()) {
        m_blockComplete = true;
        const int status = m_pending.statusCode;
        if (status >= 100 && status < 200) return;  // an interim answer; the real one follows
        if (isFollowedRedirect(status) && m_pending.header("Location")) return;
        emitResponse();
        return;
    }
    if ((line.front() == ' ' || line.front() == '\t') && !m_pending.headers.empty()) {
        // A folded line continues the previous field.
        m_pending.headers.back().second += " " + trimmed(data, end);
        return;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) return;
    m_pending.headers.emplace_back(trimmed(data, data + colon), trimmed(data + colon + 1, end));
}

void CurlTransfer::emitResponse() {
    m_responseSent = true;
    HttpResponse response = std::move(m_pending);
    m_pending = HttpResponse();
    char* effectiveUrl = nullptr;
    if (curl_easy_getinfo(m_easy, CURLINFO_EFFECTIVE_URL, &effectiveUrl) == CURLE_OK &&
        effectiveUrl) {
        response.url = effectiveUrl;
    } else {
        response.url = m_request.url;
    }
    if (response.statusCode == 0) {
        long code = 0;
        curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &code);
        response.statusCode = static_cast<int>(code);
    }
    m_sink->responseReceived(response);
}

std::size_t CurlTransfer::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<CurlTransfer*>(self);
    transfer->noteActivity();
    if (transfer->m_cancelled) {
        transfer->m_abort = Abort::Cancelled;
        return 0;
    }
    transfer->headerLine(data, size * count);
    return size * count;
}

std::size_t CurlTransfer::onWrite(char* data, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<CurlTransfer*>(self);
    transfer->noteActivity();
    if (transfer->m_cancelled) {
        transfer->m_abort = Abort::Cancelled;
        return CURL_WRITEFUNC_ERROR;
    }
    if (!transfer->m_responseSent) transfer->emitResponse();
    const std::size_t bytes = size * count;
    // The body so far never passes the limit, so this cannot wrap around.
    if (bytes > transfer->m_request.maxResponseBytes - transfer->m_bodyBytes) {
        transfer->m_abort = Abort::TooLarge;
        return CURL_WRITEFUNC_ERROR;
    }
    transfer->m_bodyBytes += bytes;
    transfer->m_sink->dataReceived(data, bytes);
    return bytes;
}

int CurlTransfer::onProgress(void* self, curl_off_t, curl_off_t dlNow, curl_off_t,
                             curl_off_t ulNow) {
    auto* transfer = static_cast<CurlTransfer*>(self);
    if (dlNow != transfer->m_lastDownloaded || ulNow != transfer->m_lastUploaded) {
        transfer->m_lastDownloaded = dlNow;
        transfer->m_lastUploaded = ulNow;
        transfer->noteActivity();
    }
    if (transfer->m_cancelled) {
        transfer->m_abort = Abort::Cancelled;
        return 1;
    }
    if (transfer->idleTooLong()) {
        transfer->m_abort = Abort::TimedOut;
        return 1;
    }
    return 0;
}

}  // namespace qp
