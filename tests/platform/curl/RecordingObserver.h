#pragma once
// Records what an asynchronous request reports, and whether each event came
// on the main thread, so tests can check order and content.

#include <optional>
#include <string>
#include <vector>

#include "platform/HttpClient.h"
#include "platform/MainQueue.h"

namespace qp {

class RecordingObserver : public HttpRequestObserver {
public:
    explicit RecordingObserver(const MainQueue& queue) : m_queue(queue) {}

    void didReceiveResponse(const HttpResponse& headersOnly) override {
        note("response " + std::to_string(headersOnly.statusCode));
        response = headersOnly;
    }
    void didReceiveData(const std::string& chunk) override {
        note("data");
        chunks.push_back(chunk);
    }
    void didFinish() override {
        note("finish");
        ended = true;
    }
    void didFail(const Error& failure) override {
        note("fail " + std::to_string(failure.code()));
        error = failure;
        ended = true;
    }

    std::string body() const {
        std::string all;
        for (const auto& chunk : chunks) all += chunk;
        return all;
    }

    // Events with the data chunks folded into one "data" entry.
    std::vector<std::string> outline() const {
        std::vector<std::string> folded;
        for (const auto& event : events) {
            if (event == "data" && !folded.empty() && folded.back() == "data") continue;
            folded.push_back(event);
        }
        return folded;
    }

    std::vector<std::string> events;
    std::vector<std::string> chunks;
    std::optional<HttpResponse> response;
    std::optional<Error> error;
    bool ended = false;
    bool offMainThread = false;

private:
    void note(std::string event) {
        if (!m_queue.isMainThread()) offMainThread = true;
        events.push_back(std::move(event));
    }

    const MainQueue& m_queue;
};

}  // namespace qp
