#pragma once
// `quillpost compose` as the full program runs it: the theme of the day
// comes from the configured feed host when one is set.

#include "cli/ComposeRun.h"

namespace qp {

// Runs the command; answers the exit status.
int runCompose(const ComposeOptions& options, const ComposeStreams& streams = {});

}  // namespace qp
