#pragma once
// The app's keyboard shortcuts, in the order the shortcut list shows them.

#include <vector>

#include "platform/ui/WindowShortcuts.h"

namespace qp {

const std::vector<WindowShortcut>& appShortcuts();

}  // namespace qp
