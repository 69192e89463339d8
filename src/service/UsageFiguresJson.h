#pragma once
// The figures as one JSON object, for scripts: integer totals "sessions" and
// "events", then "sessions_per_day" ([{"day", "sessions"}]), "top_events"
// ([{"name", "count"}]), "device_classes" and "system_versions"
// ([{"name", "sessions"}]).

#include <string>

#include "service/UsageFigures.h"

namespace qp {

std::string usageFiguresJson(const UsageFigures& figures);

}  // namespace qp
