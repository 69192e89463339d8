#pragma once
// A scrolling strip as screens use it: a content area of a given size that
// holds subviews, scrolled by dragging, the wheel or the scroll bars, with
// the phone's settings for paging, bouncing, indicators and scroll-to-top.

#include <QScrollArea>

#include <chrono>
#include <memory>

#include "platform/Geometry.h"

namespace qp {

class Animation;
class ScrollView;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView& /*scrollView*/) {}
};

class ScrollView : public QScrollArea {
public:
    static constexpr std::chrono::milliseconds kScrollAnimationDuration{300};

    explicit ScrollView(QWidget* parent = nullptr);
    ~ScrollView() override;

    // The widget that holds the strip's subviews; its size is the content size.
    QWidget* contentView() const { return m_content; }
    Size contentSize() const;
    void setContentSize(Size size);

    Point contentOffset() const;
    void setContentOffsetAnimated(Point offset, bool animated);
    // Scrolls as little as needed for `rect` (content coordinates) to show.
    void scrollRectToVisibleAnimated(const Rect& rect, bool animated);

    // Kept for screens that set it; the strips here scroll freely.
    bool isPagingEnabled() const { return m_paging; }
    void setPagingEnabled(bool enabled) { m_paging = enabled; }
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled);
    bool bounces() const { return m_bounces; }
    void setBounces(bool bounces);
    bool showsHorizontalScrollIndicator() const { return m_horizontalIndicator; }
    void setShowsHorizontalScrollIndicator(bool shows);
    bool showsVerticalScrollIndicator() const { return m_verticalIndicator; }
    void setShowsVerticalScrollIndicator(bool shows);
    bool scrollsToTop() const { return m_scrollsToTop; }
    void setScrollsToTop(bool scrolls) { m_scrollsToTop = scrolls; }

    ScrollViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(ScrollViewDelegate* delegate) { m_delegate = delegate; }

protected:
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    Point clampedOffset(Point offset) const;
    void applyScrollerSettings();

    QWidget* m_content;
    ScrollViewDelegate* m_delegate = nullptr;
    std::shared_ptr<Animation> m_scrolling;
    bool m_paging = false;
    bool m_scrollEnabled = true;
    bool m_bounces = true;
    bool m_horizontalIndicator = true;
    bool m_verticalIndicator = true;
    bool m_scrollsToTop = true;
};

}  // namespace qp
