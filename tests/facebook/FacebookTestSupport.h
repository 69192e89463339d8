#pragma once
// The doubles a Facebook client needs in tests, wired together.

#include <memory>

#include "RecordingFBDelegates.h"
#include "ScriptedHttpClient.h"
#include "facebook/Facebook.h"
#include "support/ManualClock.h"
#include "support/RecordingUrlOpener.h"

namespace qp {

inline constexpr const char* kTestAppId = "123456789012345";

struct FacebookTestBed {
    ScriptedHttpClient http;
    RecordingUrlOpener opener;
    ManualClock clock;
    RecordingDialogFactory dialogs;
    RecordingSessionDelegate session;

    FacebookServices services(bool multitasking = true) {
        return {http,
                opener,
                clock,
                &dialogs,
                multitasking,
                {"https://graph.test/", "https://api.test/method/", "https://m.test/dialog/",
                 "https://m.test/"}};
    }
    std::unique_ptr<Facebook> client(std::optional<std::string> suffix = std::nullopt,
                                     bool multitasking = true) {
        return std::make_unique<Facebook>(services(multitasking), kTestAppId, std::move(suffix),
                                          &session);
    }
    // A client holding a token that expires in a day.
    std::unique_ptr<Facebook> loggedInClient(const std::string& token = "TOKEN") {
        auto facebook = client();
        facebook->setAccessToken(token);
        facebook->setExpirationDate(clock.now() + std::chrono::hours(24));
        return facebook;
    }
};

}  // namespace qp
