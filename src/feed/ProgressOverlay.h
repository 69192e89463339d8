#pragma once
// What the feed asks of the app's progress overlay while images download.
// Called on the main thread only; the app fills it with the real overlay.

#include <string>

namespace qp {

class ProgressOverlay {
public:
    virtual ~ProgressOverlay() = default;
    virtual void setTitle(const std::string& title) = 0;
    virtual void show() = 0;
    virtual void dismiss() = 0;
};

}  // namespace qp
