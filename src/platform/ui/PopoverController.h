#pragma once
// A panel anchored at a rectangle of a view, with an arrow pointing at it,
// holding a controller's view. A click outside the panel asks the delegate
// and dismisses it; only that dismissal is reported back, as on the phone.

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

#include "platform/Geometry.h"

namespace qp {

class PopoverController;
class ViewController;

enum PopoverArrowDirection : unsigned {
    kPopoverArrowDirectionUp = 1u << 0,
    kPopoverArrowDirectionDown = 1u << 1,
    kPopoverArrowDirectionLeft = 1u << 2,
    kPopoverArrowDirectionRight = 1u << 3,
    kPopoverArrowDirectionAny = 0xFu,
};

class PopoverControllerDelegate {
public:
    virtual ~PopoverControllerDelegate() = default;
    virtual bool popoverControllerShouldDismissPopover(PopoverController& /*popover*/) {
        return true;
    }
    virtual void popoverControllerDidDismissPopover(PopoverController& /*popover*/) {}
};

class PopoverController {
public:
    static constexpr double kArrowSize = 13;
    static constexpr std::chrono::milliseconds kFadeDuration{200};

    explicit PopoverController(std::shared_ptr<ViewController> content);
    ~PopoverController();
    PopoverController(const PopoverController&) = delete;
    PopoverController& operator=(const PopoverController&) = delete;

    ViewController* contentViewController() const { return m_content.get(); }
    PopoverControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(PopoverControllerDelegate* delegate) { m_delegate = delegate; }
    Size popoverContentSize() const { return m_contentSize; }
    void setPopoverContentSize(Size size) { m_contentSize = size; }

    // Shows the panel beside `rect` (in `view`'s coordinates) on `view`'s window.
    void presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(const Rect& rect,
                                                                      QWidget* view,
                                                                      unsigned arrowDirections,
                                                                      bool animated);
    // Takes the panel away without asking or telling the delegate.
    void dismissPopoverAnimated(bool animated);
    bool isPopoverVisible() const { return m_visible; }

    // Where the panel sits on the window and the way its arrow points.
    Rect panelFrame() const { return m_panelFrame; }
    PopoverArrowDirection arrowDirection() const { return m_arrow; }
    // The widget over the window that catches clicks outside the panel.
    QWidget* shield() const { return m_shield; }

    // A click outside the panel, as the shield reports it.
    void tappedOutside();

private:
    void dismiss(bool animated, std::function<void()> done);
    void teardown();

    std::shared_ptr<ViewController> m_content;
    PopoverControllerDelegate* m_delegate = nullptr;
    Size m_contentSize{320, 480};
    QPointer<QWidget> m_shield;
    QPointer<QWidget> m_panel;
    Rect m_panelFrame;
    PopoverArrowDirection m_arrow = kPopoverArrowDirectionLeft;
    bool m_visible = false;
    // Lets a pending fade-out know the popover it belongs to is gone.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// Where a panel of `size` goes beside `anchor` inside `bounds` with the
// first permitted arrow direction that fits (left, right, up, down), and
// which direction that is.
std::pair<Rect, PopoverArrowDirection> popoverPlacement(const Rect& anchor, Size size,
                                                        const Rect& bounds, unsigned permitted,
                                                        double arrowSize);

}  // namespace qp
