#pragma once
// The user's switch for usage reports, as the settings screen shows it: on
// or off now, and kept for later runs.

#include "platform/Result.h"

namespace qp {

class UsageReportsSwitch {
public:
    virtual ~UsageReportsSwitch() = default;
    virtual bool isOn() const = 0;
    // Takes effect at once; an error says why the choice could not be kept
    // for later runs (it still holds until quit).
    virtual Result<void> setOn(bool on) = 0;
};

}  // namespace qp
