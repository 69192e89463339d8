#include "screens/SettingsViewController.h"

namespace qp {

SettingsViewController::SettingsViewController(std::string layoutName, const AppContext& context)
    : ViewController(std::move(layoutName)), m_context(context) {}

std::map<std::string, ViewController::Action> SettingsViewController::actions() {
    return {{"actionBackButton", [this](QObject* s) { actionBackButton(s); }}};
}

bool SettingsViewController::shouldAutorotateToInterfaceOrientation(
    InterfaceOrientation orientation) const {
    return orientation == InterfaceOrientation::Portrait ||
           orientation == InterfaceOrientation::PortraitUpsideDown;
}

void SettingsViewController::actionBackButton(QObject*) {
    dismissViewControllerAnimated(true);
}

}  // namespace qp
