#pragma once
// The app's theme-of-the-day feed: the feed on the configured host, its
// reachability monitor, the shared progress overlay and the editor's view of
// it. Made only when a feed host is configured.

#include <memory>
#include <string>

namespace qp {

class AppState;
class ThemeFeed;
struct AppContext;

class AppThemeFeed {
public:
    // Null when `feedHost` is empty: the editor keeps the bundled stand-in and
    // nothing is fetched. `context` supplies the services and must outlive it.
    static std::unique_ptr<AppThemeFeed> create(const AppContext& context, const AppState& state,
                                                const std::string& feedHost);
    ~AppThemeFeed();

    ThemeFeed& themeFeed();

private:
    struct Parts;
    explicit AppThemeFeed(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> m_parts;
};

}  // namespace qp
