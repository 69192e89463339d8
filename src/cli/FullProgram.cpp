#include "cli/FullProgram.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "cli/ConsoleOutput.h"
#include "cli/TerminalText.h"
#include "platform/Paths.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

constexpr int kProgramMissing = 127;
constexpr int kProgramNotStarted = 126;

}  // namespace

std::vector<fs::path> fullProgramPlaces(const fs::path& frontFolder) {
    return {frontFolder / kFullProgramName,
            (frontFolder / ".." / "libexec" / "quillpost" / kFullProgramName).lexically_normal()};
}

fs::path findFullProgram(const std::vector<fs::path>& places) {
    for (const fs::path& place : places) {
        std::error_code ec;
        if (fs::is_regular_file(place, ec) && ::access(place.c_str(), X_OK) == 0) return place;
    }
    return {};
}

std::string missingFullProgramMessage(const std::vector<fs::path>& places) {
    std::string looked;
    for (const fs::path& place : places) {
        looked += (looked.empty() ? "" : " or ") + printable(place.string());
    }
    return fmt::format(
        "quillpost: the app's full program {} is missing (looked for {}); "
        "reinstall Quillpost or rebuild the {} target\n",
        kFullProgramName, looked, kFullProgramName);
}

int handOnToFullProgram(char** argv) {
    const std::vector<fs::path> places = fullProgramPlaces(Paths::executableFolder());
    const fs::path program = findFullProgram(places);
    if (program.empty()) {
        writeDiagnostic(stderr, missingFullProgramMessage(places));
        return kProgramMissing;
    }
    std::fflush(nullptr);
    ::execv(program.c_str(), argv);
    const int error = errno;
    writeDiagnostic(stderr, fmt::format("quillpost: could not start {}: {}\n",
                                        printable(program.string()), std::strerror(error)));
    return kProgramNotStarted;
}

}  // namespace qp
