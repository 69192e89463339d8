#pragma once
// The editor screen: the photo inside the theme's square, the theme strips,
// the message box and the share button.

#include "app/shared/AppContext.h"
#include "platform/ui/ViewController.h"

namespace qp {

class QuillpostVC : public ViewController {
public:
    QuillpostVC(std::string layoutName, const AppContext& context);

    void actionBackButton(QObject* sender);
    void viewDidAppear(bool animated) override;

protected:
    std::map<std::string, Action> actions() override;

private:
    AppContext m_context;
};

}  // namespace qp
