#pragma once
// The one window: it shows the emulated phone or tablet screen at its size in
// points, with the root controller's view filling it.

#include <QWidget>

#include <memory>

#include "platform/DeviceProfile.h"

namespace qp {

class ViewController;

class Window : public QWidget {
public:
    explicit Window(const DeviceProfile& profile);
    ~Window() override;

    void setRootViewController(std::shared_ptr<ViewController> controller);
    ViewController* rootViewController() const { return m_root.get(); }

    // Shows the window and brings the root controller on screen.
    void makeKeyAndVisible();
    bool isKeyWindow() const { return m_visible; }

private:
    std::shared_ptr<ViewController> m_root;
    bool m_visible = false;
};

}  // namespace qp
