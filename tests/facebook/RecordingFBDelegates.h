#pragma once
// Delegates that write down what the social-network client told them, in
// order, as short lines a test can compare.

#include <memory>
#include <string>
#include <vector>

#include "facebook/FBDialogFactory.h"
#include "facebook/FBRequest.h"
#include "facebook/FBRequestDelegate.h"
#include "facebook/FBSessionDelegate.h"
#include "json/ZelJSON.h"

namespace qp {

class RecordingRequestDelegate : public FBRequestDelegate {
public:
    // Like any delegate that may go first, it takes itself off its requests.
    ~RecordingRequestDelegate() override {
        for (const auto& weak : m_requests) {
            if (auto request = weak.lock(); request && request->delegate() == this) {
                request->setDelegate(nullptr);
            }
        }
    }

    void requestLoading(FBRequest& request) override {
        m_requests.push_back(request.weak_from_this());
        events.push_back("loading state=" + std::to_string(request.state()));
    }
    void requestDidReceiveResponse(FBRequest&, const HttpResponse& response) override {
        events.push_back("response " + std::to_string(response.statusCode));
    }
    void requestDidLoadRawResponse(FBRequest&, const std::string& data) override {
        events.push_back("raw " + data);
    }
    void requestDidLoad(FBRequest& request, const std::optional<JsonValue>& result) override {
        results.push_back(result);
        std::string text = "none";
        if (result) text = ZelJSON().stringWithFragment(*result, nullptr).value_or("?");
        events.push_back("load " + text + " state=" + std::to_string(request.state()));
    }
    void requestDidFailWithError(FBRequest& request, const Error& error) override {
        errors.push_back(error);
        events.push_back("fail " + error.domain() + " " + std::to_string(error.code()) +
                         " state=" + std::to_string(request.state()));
    }
    bool takesRequestResults() const override { return takesResults; }

    bool takesResults = true;
    std::vector<std::string> events;
    std::vector<std::optional<JsonValue>> results;
    std::vector<Error> errors;

private:
    std::vector<std::weak_ptr<FBRequest>> m_requests;
};

class RecordingSessionDelegate : public FBSessionDelegate {
public:
    void fbDidLogin() override { events.push_back("login"); }
    void fbDidNotLogin(bool cancelled) override {
        events.push_back(cancelled ? "not login: cancelled" : "not login: failed");
    }
    void fbDidExtendTokenExpiresAt(const std::string& token, Clock::WallTime) override {
        events.push_back("extended " + token);
    }
    void fbDidLogout() override { events.push_back("logout"); }
    void fbSessionInvalidated() override { events.push_back("invalidated"); }

    std::vector<std::string> events;
};

// Makes dialogs that only record what they were made with and whether shown.
class RecordingDialogFactory : public FBDialogFactory {
public:
    struct Made {
        bool login = false;
        std::string url;
        FBParams params;
        bool invisible = false;
        bool shown = false;
        FBLoginDialogDelegate* loginDelegate = nullptr;
    };

    std::unique_ptr<FBDialog> makeLoginDialog(const std::string& url, const FBParams& params,
                                              FBLoginDialogDelegate& loginDelegate) override {
        made.push_back({true, url, params, false, false, &loginDelegate});
        return std::make_unique<Dialog>(*this, made.size() - 1);
    }
    std::unique_ptr<FBDialog> makeDialog(const std::string& url, const FBParams& params,
                                         bool invisible, FBFrictionlessRequestSettings&,
                                         FBDialogDelegate*) override {
        made.push_back({false, url, params, invisible, false, nullptr});
        return std::make_unique<Dialog>(*this, made.size() - 1);
    }

    std::vector<Made> made;

private:
    class Dialog final : public FBDialog {
    public:
        Dialog(RecordingDialogFactory& factory, std::size_t index)
            : m_factory(factory), m_index(index) {}
        void show() override { m_factory.made[m_index].shown = true; }

    private:
        RecordingDialogFactory& m_factory;
        std::size_t m_index;
    };
};

}  // namespace qp
