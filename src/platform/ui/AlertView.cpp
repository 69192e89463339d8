#include "platform/ui/AlertView.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/Log.h"

namespace qp {

namespace {

bool g_headless = false;
int g_shown = 0;

// The app's window, so an alert shows centred over it rather than over the
// middle of the desktop; none before the window exists.
QWidget* windowToCentreOn() {
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isWindow() &&
            !widget->windowFlags().testFlag(Qt::Dialog)) {
            return widget;
        }
    }
    return nullptr;
}

// Alerts on screen own themselves through this list until answered. The list
// is emptied when the application object goes, so an alert still showing at
// exit is released with the widgets, not leaked.
std::vector<std::shared_ptr<AlertView>>& visibleAlerts() {
    static std::vector<std::shared_ptr<AlertView>> alerts;
    return alerts;
}

void releaseVisibleAlerts() {
    std::vector<std::shared_ptr<AlertView>> alerts = std::move(visibleAlerts());
    visibleAlerts().clear();
}

void keepVisible(std::shared_ptr<AlertView> alert) {
    static const bool cleanupRegistered = [] {
        qAddPostRoutine(releaseVisibleAlerts);
        return true;
    }();
    (void)cleanupRegistered;
    visibleAlerts().push_back(std::move(alert));
}

std::shared_ptr<AlertView> releaseVisible(const AlertView* alert) {
    auto& alerts = visibleAlerts();
    auto it = std::find_if(alerts.begin(), alerts.end(),
                           [alert](const auto& a) { return a.get() == alert; });
    if (it == alerts.end()) return nullptr;
    std::shared_ptr<AlertView> kept = std::move(*it);
    alerts.erase(it);
    return kept;
}

AlertView::Answerer& answerer() {
    static AlertView::Answerer a = [](const AlertView& alert) {
        return alert.cancelButtonIndex() >= 0 ? alert.cancelButtonIndex() : 0;
    };
    return a;
}

}  // namespace

std::shared_ptr<AlertView> AlertView::create(std::string title, std::string message,
                                             AlertViewDelegate* delegate,
                                             std::string cancelButtonTitle,
                                             std::vector<std::string> otherButtonTitles) {
    return std::shared_ptr<AlertView>(new AlertView(std::move(title), std::move(message), delegate,
                                                    std::move(cancelButtonTitle),
                                                    std::move(otherButtonTitles)));
}

AlertView::AlertView(std::string title, std::string message, AlertViewDelegate* delegate,
                     std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles)
    : m_title(std::move(title)),
      m_message(std::move(message)),
      m_delegate(delegate),
      m_cancelTitle(std::move(cancelButtonTitle)),
      m_otherTitles(std::move(otherButtonTitles)) {}

AlertView::~AlertView() {
    delete m_box;
}

std::vector<std::string> AlertView::buttonTitles() const {
    std::vector<std::string> titles;
    if (!m_cancelTitle.empty()) titles.push_back(m_cancelTitle);
    titles.insert(titles.end(), m_otherTitles.begin(), m_otherTitles.end());
    return titles;
}

void AlertView::setHeadless(bool headless) {
    g_headless = headless;
}
bool AlertView::isHeadless() {
    return g_headless;
}
void AlertView::setHeadlessAnswerer(Answerer a) {
    answerer() = a ? std::move(a) : [](const AlertView& alert) {
        return alert.cancelButtonIndex() >= 0 ? alert.cancelButtonIndex() : 0;
    };
}
int AlertView::shownCount() {
    return g_shown;
}

void AlertView::show() {
    if (m_visible) return;
    m_visible = true;
    keepVisible(shared_from_this());
    ++g_shown;
    std::string buttons;
    for (const std::string& b : buttonTitles()) buttons += (buttons.empty() ? "" : ", ") + b;
    logf("Alert: \"{}\" \"{}\" [{}]", m_title, m_message, buttons);

    if (g_headless) {
        std::weak_ptr<AlertView> weak = weak_from_this();
        QTimer::singleShot(0, [weak] {
            if (auto self = weak.lock(); self && self->m_visible)
                self->clickButtonAtIndex(answerer()(*self));
        });
        return;
    }
    m_box = new QMessageBox(QMessageBox::NoIcon, QString::fromStdString(m_title),
                            QString::fromStdString(m_message), QMessageBox::NoButton,
                            windowToCentreOn());
    const std::vector<std::string> titles = buttonTitles();
    for (std::size_t i = 0; i < titles.size(); ++i) {
        auto role =
            (i == 0 && !m_cancelTitle.empty()) ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        QAbstractButton* button = m_box->addButton(QString::fromStdString(titles[i]), role);
        QObject::connect(button, &QAbstractButton::clicked, m_box,
                         [this, index = static_cast<int>(i)] { clickButtonAtIndex(index); });
    }
    m_box->setWindowModality(Qt::ApplicationModal);
    m_box->show();
}

void AlertView::clickButtonAtIndex(int index) {
    if (!m_visible) return;
    m_visible = false;
    // Keep this object alive through the delegate call even if it was the last owner.
    std::shared_ptr<AlertView> self = releaseVisible(this);
    logf("Alert answered: button {}", index);
    if (m_box) {
        m_box->hide();
        m_box->deleteLater();
        m_box = nullptr;
    }
    if (m_delegate) m_delegate->alertViewClickedButtonAtIndex(*this, index);
}

}  // namespace qp
