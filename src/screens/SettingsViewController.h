#pragma once
// The settings screen, presented modally from the start screen; its back
// button closes it.

#include "appkit/AppContext.h"
#include "platform/ui/ViewController.h"

namespace qp {

class SettingsViewController : public ViewController {
public:
    SettingsViewController(std::string layoutName, const AppContext& context);

    void actionBackButton(QObject* sender);
    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const override;

protected:
    std::map<std::string, Action> actions() override;

private:
    AppContext m_context;
};

}  // namespace qp
