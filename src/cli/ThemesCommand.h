#pragma once
// `quillpost themes`: lists the bundled categories and their themes with the
// tags the editor's strips use.

#include <CLI/CLI.hpp>

namespace qp {

CLI::App* addThemesCommand(CLI::App& cli);
int runThemes();

}  // namespace qp
