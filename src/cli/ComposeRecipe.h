#pragma once
// The command line of `quillpost compose` read into the recipe every photo
// of the run shares, or what is wrong with it in the user's terms.

#include <string>
#include <variant>

#include "cli/ComposeJob.h"
#include "cli/ComposeOptions.h"

namespace qp {

struct UsageError {
    std::string text;
};

std::variant<ComposeRecipe, UsageError> makeRecipe(const ComposeOptions& options);

}  // namespace qp
