#pragma once
// The full program, quillpost-app: the app itself, the analytics service,
// the feed check and compose runs that load the feed. The small `quillpost`
// runs it in its own place, with the same arguments.

#include <filesystem>
#include <string>
#include <vector>

namespace qp {

inline constexpr const char* kFullProgramName = "quillpost-app";

// Where the full program may be, in the order tried: beside the front (a
// build tree), then ../libexec/quillpost/ from it (an installed tree).
std::vector<std::filesystem::path> fullProgramPlaces(const std::filesystem::path& frontFolder);

// The first of `places` that is an executable file, or empty.
std::filesystem::path findFullProgram(const std::vector<std::filesystem::path>& places);

// What to tell the user when none of `places` holds the full program.
std::string missingFullProgramMessage(const std::vector<std::filesystem::path>& places);

// Replaces this process with the full program given `argv`; returns only when
// that fails, after saying why, with the exit status to end with (127 when
// the program is missing, 126 when it cannot be started, as a shell does).
int handOnToFullProgram(char** argv);

}  // namespace qp
