#pragma once
// A window, hand-driven time, a URL opener and scripted web views for the
// web dialogs' tests, and delegates that write down what they hear.

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "facebook/ui/FBWebDialog.h"
#include "platform/ui/UiTiming.h"
#include "support/ManualMainQueue.h"
#include "support/RecordingUrlOpener.h"
#include "support/ScriptedWebView.h"

namespace qp {

struct FBDialogTestBed {
    ManualMainQueue queue;
    ScopedUiTiming timing{queue, queue.clock()};
    RecordingUrlOpener opener;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    std::vector<ScriptedWebView*> views;
    bool isPad = false;

    FBDialogTestBed() { window->resize(320, 480); }

    FBDialogEnvironment environment() {
        FBDialogEnvironment env;
        env.keyWindow = [this] { return window.get(); };
        env.makeWebView = [this] {
            auto view = std::make_unique<ScriptedWebView>(&opener);
            views.push_back(view.get());
            return view;
        };
        env.clock = &queue.clock();
        env.isPad = isPad;
        const char* resources = std::getenv("QUILLPOST_RESOURCES");
        env.closeButtonImage =
            std::filesystem::path(resources ? resources : "/nonexistent") / kFBCloseButtonImage;
        return env;
    }
    ScriptedWebView& page() { return *views.back(); }
    // Runs the deletions that closing dialogs leave for later.
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

class RecordingDialogDelegate : public FBDialogDelegate {
public:
    void dialogCompleteWithUrl(const std::string& url) override {
        events.push_back("complete " + url);
    }
    void dialogDidNotCompleteWithUrl(const std::string& url) override {
        events.push_back("not complete " + url);
    }
    void dialogDidComplete(FBDialog&) override { events.push_back("did complete"); }
    void dialogDidNotComplete(FBDialog&) override { events.push_back("did not complete"); }
    void dialogDidFailWithError(FBDialog&, const Error& error) override {
        errors.push_back(error);
        events.push_back("fail " + error.domain() + " " + std::to_string(error.code()));
    }
    bool dialogShouldOpenURLInExternalBrowser(FBDialog&, const std::string& url) override {
        events.push_back("external? " + url);
        return opensExternally;
    }

    bool opensExternally = true;
    std::vector<std::string> events;
    std::vector<Error> errors;
};

}  // namespace qp
