#pragma once
// The more-apps screen: the app's version and a web page of the maker's other
// apps. Re-created after every stay in the background.

#include "appkit/AppContext.h"
#include "platform/ui/ViewController.h"

namespace qp {

class MoreViewController : public ViewController {
public:
    MoreViewController(std::string layoutName, const AppContext& context);

    void actionBackButton(QObject* sender);
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

protected:
    std::map<std::string, Action> actions() override;

private:
    AppContext m_context;
};

}  // namespace qp
