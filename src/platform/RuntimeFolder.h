#pragma once
// Qt wants a private runtime folder ($XDG_RUNTIME_DIR), which a bare shell,
// a cron job or a CI runner may not have. This provides one without trusting
// the shared temporary folder: an existing folder is used only when it is a
// real folder (not a link), owned by us, with mode 0700; otherwise a fresh
// one is made with mkdtemp.

#include <filesystem>
#include <optional>

namespace qp {

// Sets XDG_RUNTIME_DIR to a private folder when it is unset; answers the
// folder in use, or nothing when none could be had (Qt then complains but
// works).
std::optional<std::filesystem::path> providePrivateRuntimeFolder();

// Whether `folder` may serve as our private runtime folder: a folder itself,
// not a link to one, owned by this user, readable and writable by no one else.
bool isPrivateFolder(const std::filesystem::path& folder);

}  // namespace qp
