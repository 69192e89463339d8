#pragma once
// Helpers every screen shares: a fire-and-forget alert, the tablet test, and
// an alert that blocks until the user answers.

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/AlertView.h"

class QEventLoop;

namespace qp {

inline constexpr const char* kAlertOkButtonTitle = "OK";

// Shows an alert with `title` (may be absent), `message` and one "OK" button;
// returns at once.
void ShowAlert(const std::optional<std::string>& title, const std::string& message);

// True when the device reports the tablet interface idiom.
bool IsPad();

// An alert whose show() waits, in a nested event loop, until a button is
// tapped, and answers that button's index.
class ModalAlertDelegate : public AlertViewDelegate {
public:
    static std::unique_ptr<ModalAlertDelegate> delegateWithAlert(std::shared_ptr<AlertView> alert);
    explicit ModalAlertDelegate(std::shared_ptr<AlertView> alert);

    int show();
    int index() const { return m_index; }
    AlertView* alertView() const { return m_alertView.get(); }

    void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

private:
    std::shared_ptr<AlertView> m_alertView;
    int m_index = -1;
    bool m_answered = false;
    QEventLoop* m_loop = nullptr;
};

}  // namespace qp
