#pragma once
// Alerts answered without a screen for the life of the object (by
// `answerer`, or the default choice), so no test waits on a message box and
// none leaves the mode or its answerer behind for the next.

#include "platform/ui/AlertView.h"

namespace qp::test {

class HeadlessAlerts {
public:
    explicit HeadlessAlerts(AlertView::Answerer answerer = nullptr)
        : m_wasHeadless(AlertView::isHeadless()) {
        AlertView::setHeadless(true);
        AlertView::setHeadlessAnswerer(std::move(answerer));
    }
    ~HeadlessAlerts() {
        AlertView::setHeadlessAnswerer(nullptr);
        AlertView::setHeadless(m_wasHeadless);
    }
    HeadlessAlerts(const HeadlessAlerts&) = delete;
    HeadlessAlerts& operator=(const HeadlessAlerts&) = delete;

private:
    bool m_wasHeadless;
};

}  // namespace qp::test
