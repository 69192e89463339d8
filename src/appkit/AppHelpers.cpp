#include "appkit/AppHelpers.h"

#include <QEventLoop>

#include "platform/DeviceProfile.h"

namespace qp {

void ShowAlert(const std::optional<std::string>& title, const std::string& message) {
    AlertView::create(title.value_or(std::string()), message, nullptr, kAlertOkButtonTitle)->show();
}

bool IsPad() {
    const DeviceProfile& device = currentDeviceProfile();
    return device.idiom && *device.idiom == InterfaceIdiom::Pad;
}

std::unique_ptr<ModalAlertDelegate> ModalAlertDelegate::delegateWithAlert(
    std::shared_ptr<AlertView> alert) {
    return std::make_unique<ModalAlertDelegate>(std::move(alert));
}

ModalAlertDelegate::ModalAlertDelegate(std::shared_ptr<AlertView> alert)
    : m_alertView(std::move(alert)) {}

int ModalAlertDelegate::show() {
    if (!m_alertView) return m_index;
    m_answered = false;
    m_alertView->setDelegate(this);
    m_alertView->show();
    if (!m_answered) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
    return m_index;
}

void ModalAlertDelegate::alertViewClickedButtonAtIndex(AlertView& /*alert*/, int index) {
    m_index = index;
    m_answered = true;
    m_alertView.reset();  // the alert is let go once answered
    if (m_loop) m_loop->quit();
}

}  // namespace qp
