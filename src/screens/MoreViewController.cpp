#include "screens/MoreViewController.h"

#include "platform/Log.h"

namespace qp {

MoreViewController::MoreViewController(std::string layoutName, const AppContext& context)
    : ViewController(std::move(layoutName)), m_context(context) {}

std::map<std::string, ViewController::Action> MoreViewController::actions() {
    return {{"actionBackButton", [this](QObject* s) { actionBackButton(s); }}};
}

void MoreViewController::viewDidLoad() {
    logLine("-[MoreViewController viewDidLoad]");
}

void MoreViewController::viewWillAppear(bool) {
    logLine("-[MoreViewController viewWillAppear:]");
}

void MoreViewController::actionBackButton(QObject*) {
    dismissViewControllerAnimated(true);
}

}  // namespace qp
