#pragma once
// The usage figures as the text tables `quillpost analytics report` prints.
// Names come from reports, that is from anyone: their control characters are
// escaped before they reach the terminal.

#include <string>

#include "service/UsageFigures.h"

namespace qp {

std::string usageFiguresText(const UsageFigures& figures);

}  // namespace qp
