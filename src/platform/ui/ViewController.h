#pragma once
// A screen controller with the phone's view lifecycle: the view is loaded from
// its layout file when first needed (viewDidLoad once), appearance calls come
// in the platform's order, and controllers present each other modally.

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace qp {

enum class ModalTransitionStyle {
    CoverVertical = 0,
    FlipHorizontal = 1,
    CrossDissolve = 2,
    PartialCurl = 3
};

enum class InterfaceOrientation {
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeLeft = 4,
    LandscapeRight = 3
};
inline constexpr unsigned kInterfaceOrientationMaskPortrait = 1u << 1;
// How long a cross-dissolve presentation or dismissal fades.
inline constexpr std::chrono::milliseconds kCrossDissolveDuration{300};

class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    using Action = std::function<void(QObject* sender)>;
    using Completion = std::function<void()>;

    // `layoutName` is the layout file's name without ".ui" (empty: a plain view).
    explicit ViewController(std::string layoutName);
    virtual ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    const std::string& layoutName() const { return m_layoutName; }

    // The view, loaded on first use. A layout that does not match the
    // controller is a packaging fault: view() logs it and stops the program;
    // loadViewIfNeeded() reports it instead.
    QWidget* view();
    Result<void> loadViewIfNeeded();
    bool isViewLoaded() const { return !m_view.isNull(); }

    // Lifecycle calls, overridden by screens.
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}
    virtual void didReceiveMemoryWarning() {}
    virtual bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const {
        return orientation == InterfaceOrientation::Portrait;
    }
    virtual unsigned supportedInterfaceOrientations() const {
        return kInterfaceOrientationMaskPortrait;
    }

    // Modal presentation. The presenter keeps the presented controller alive
    // until it is dismissed.
    void presentViewController(std::shared_ptr<ViewController> controller, bool animated,
                               Completion completion = {});
    // Dismisses what this controller presents, or, when it presents nothing,
    // itself from its presenter. Does nothing when neither applies.
    void dismissViewControllerAnimated(bool animated, Completion completion = {});
    ViewController* presentedViewController() const { return m_presented.get(); }
    ViewController* presentingViewController() const { return m_presenting; }

    ModalTransitionStyle modalTransitionStyle() const { return m_transitionStyle; }
    void setModalTransitionStyle(ModalTransitionStyle style) { m_transitionStyle = style; }

    // Appearance driven by a window or a presenter.
    void beginAppearance(bool appearing, bool animated);
    void endAppearance(bool appearing, bool animated);
    bool isOnScreen() const { return m_onScreen; }

    // A named widget of the loaded view, or nullptr.
    QWidget* outlet(const std::string& name) const;
    template <typename T>
    T* outlet(const std::string& name) const {
        return qobject_cast<T*>(outlet(name));
    }

    // Runs the action `name` as a widget of the layout would (keyboard
    // shortcuts do); false when the controller has no such action.
    bool performAction(const std::string& name, QObject* sender = nullptr);
    bool hasAction(const std::string& name) { return actions().count(name) > 0; }

protected:
    // What the layout must provide: outlet names, and the actions its widgets
    // may name in their "action" property.
    virtual std::vector<std::string> requiredOutlets() const { return {}; }
    virtual std::map<std::string, Action> actions() { return {}; }
    // Builds the view when there is no layout file (layoutName empty).
    virtual QWidget* makeView();

    // Presentation hooks: how the presented view comes on and goes off screen.
    // The defaults fade a cross-dissolve presentation and show any other at once.
    virtual void animateIn(ViewController& presented, bool animated, Completion done);
    virtual void animateOut(ViewController& presented, bool animated, Completion done);

private:
    Result<void> bindLayout(QWidget* root);

    std::string m_layoutName;
    QPointer<QWidget> m_view;
    std::shared_ptr<ViewController> m_presented;
    ViewController* m_presenting = nullptr;
    ModalTransitionStyle m_transitionStyle = ModalTransitionStyle::CoverVertical;
    bool m_onScreen = false;
    bool m_loading = false;
};

}  // namespace qp
