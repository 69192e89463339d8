#pragma once
// libcurl's process-wide set-up, done once however many threads ask for it.

namespace qp {

// Initialises libcurl on first use; later calls return at once.
void ensureCurlGlobalInit();

}  // namespace qp
