#include "cli/ComposeCommand.h"

#include "cli/ComposeFeedTheme.h"

namespace qp {

int runCompose(const ComposeOptions& options, const ComposeStreams& streams) {
    return runComposeWith(options, streams, loadFeedThemeOfTheDay);
}

}  // namespace qp
