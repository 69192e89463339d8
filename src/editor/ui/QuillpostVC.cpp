#include "editor/ui/QuillpostVC.h"

#include "platform/AppState.h"
#include "platform/Log.h"

namespace qp {

QuillpostVC::QuillpostVC(std::string layoutName, const AppContext& context)
    : ViewController(std::move(layoutName)), m_context(context) {}

std::map<std::string, ViewController::Action> QuillpostVC::actions() {
    return {{"actionBackButton", [this](QObject* s) { actionBackButton(s); }}};
}

void QuillpostVC::viewDidAppear(bool) {
    if (m_context.state && m_context.state->startButtonWasPressed()) {
        // The photo picker opens here once the editor screen lands.
        m_context.state->setStartButtonWasPressed(false);
    }
}

void QuillpostVC::actionBackButton(QObject*) { dismissViewControllerAnimated(true); }

}  // namespace qp
