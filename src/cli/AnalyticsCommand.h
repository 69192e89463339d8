#pragma once
// `quillpost analytics serve`: the service that receives the app's usage
// reports and stores them; `quillpost analytics report`: what they say, as
// text tables, JSON or a chart.

#include <cstdio>
#include <string>

#include "cli/AnalyticsCommandLine.h"

namespace qp {

// The real checks of --listen and --db.
AnalyticsChecks analyticsChecks();

// Serves until SIGINT or SIGTERM, then lets the reports being received
// finish; 0 after such a stop, 1 when the store or the address cannot be used.
int runAnalyticsServe(const AnalyticsOptions& options, std::FILE* out = stdout,
                      std::FILE* err = stderr);

int runAnalyticsReport(const AnalyticsOptions& options, std::FILE* out = stdout,
                       std::FILE* err = stderr);

}  // namespace qp
