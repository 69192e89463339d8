#pragma once
// Settings held in memory for tests: counts synchronize calls and can be
// told to fail them.

#include <atomic>

#include "platform/plist/InMemoryUserDefaults.h"

namespace qp {

class MemoryUserDefaults : public InMemoryUserDefaults {
public:
    using InMemoryUserDefaults::InMemoryUserDefaults;

    bool synchronize() override {
        ++m_synchronizeCount;
        if (m_failSynchronize) return false;
        return InMemoryUserDefaults::synchronize();
    }

    int synchronizeCount() const { return m_synchronizeCount; }
    void setFailSynchronize(bool fail) { m_failSynchronize = fail; }

private:
    std::atomic<bool> m_failSynchronize = false;
    std::atomic<int> m_synchronizeCount = 0;
};

}  // namespace qp
