#pragma once
// A view controller that writes its lifecycle calls into a shared list as
// "<name>.<call>", so tests can check their order across controllers.

#include <string>
#include <vector>

#include "platform/ui/ViewController.h"

namespace qp {

using LifecycleLog = std::vector<std::string>;

class LifecycleRecorder : public ViewController {
public:
    // `recordLoad` adds "<name>.load" for viewDidLoad.
    LifecycleRecorder(std::string name, LifecycleLog& log, bool recordLoad = true)
        : ViewController(""), m_name(std::move(name)), m_log(log), m_recordLoad(recordLoad) {}
    void viewDidLoad() override {
        if (m_recordLoad) m_log.push_back(m_name + ".load");
    }
    void viewWillAppear(bool) override { m_log.push_back(m_name + ".willAppear"); }
    void viewDidAppear(bool) override { m_log.push_back(m_name + ".didAppear"); }
    void viewWillDisappear(bool) override { m_log.push_back(m_name + ".willDisappear"); }
    void viewDidDisappear(bool) override { m_log.push_back(m_name + ".didDisappear"); }

private:
    std::string m_name;
    LifecycleLog& m_log;
    bool m_recordLoad;
};

}  // namespace qp
