#pragma once
// A property list as readable text for the log, in the old plain-text
// property-list style: { key = value; }, ( item, item ), quoted when needed.

#include <string>

#include "platform/plist/PropertyList.h"

namespace qp {

std::string describePlist(const PlistValue& value);

}  // namespace qp
