#pragma once
// Alerts with a title, a message, a cancel button and other buttons. On a
// desktop they are message boxes; headless, an answerer picks the button at
// once and the alert is logged, so nothing ever waits for a person.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>

class QMessageBox;

namespace qp {

class AlertView;

class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(AlertView& /*alert*/, int /*index*/) {}
};

class AlertView : public std::enable_shared_from_this<AlertView> {
public:
    using Answerer = std::function<int(const AlertView&)>;

    // The cancel button, when given, has index 0; the other buttons follow.
    static std::shared_ptr<AlertView> create(std::string title, std::string message,
                                             AlertViewDelegate* delegate,
                                             std::string cancelButtonTitle,
                                             std::vector<std::string> otherButtonTitles = {});
    ~AlertView();

    const std::string& title() const { return m_title; }
    const std::string& message() const { return m_message; }
    std::vector<std::string> buttonTitles() const;
    int cancelButtonIndex() const { return m_cancelTitle.empty() ? -1 : 0; }
    AlertViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(AlertViewDelegate* delegate) { m_delegate = delegate; }
    bool isVisible() const { return m_visible; }

    // Shows the alert and returns at once; the alert stays alive until a
    // button is tapped or the application object goes.
    void show();
    // Answers as if the button had been tapped.
    void clickButtonAtIndex(int index);

    // Headless mode: alerts are logged and answered by the answerer (default:
    // the cancel button, else the first button), on the next turn of the loop.
    static void setHeadless(bool headless);
    static bool isHeadless();
    static void setHeadlessAnswerer(Answerer answerer);
    // Alerts shown so far in this process (for tests and logs).
    static int shownCount();

private:
    AlertView(std::string title, std::string message, AlertViewDelegate* delegate,
              std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles);

    std::string m_title;
    std::string m_message;
    AlertViewDelegate* m_delegate;
    std::string m_cancelTitle;
    std::vector<std::string> m_otherTitles;
    bool m_visible = false;
    // Owned here, or by the window it sits over if that goes first.
    QPointer<QMessageBox> m_box;
};

}  // namespace qp
