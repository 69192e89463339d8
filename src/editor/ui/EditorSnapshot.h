#pragma once
// What undo puts back in the editor: the placement (with the mirror), the
// applied theme, the message and its font size. The photo is not part of
// it: picking another photo starts the history afresh.

#include <string>

#include "editor/composition/PhotoPlacement.h"

namespace qp {

struct EditorSnapshot {
    PlacementState placement;
    int themeCategoryTag = 0;  // the applied theme's category button
    int themeTag = 0;          // the applied theme's button
    std::string message;       // the user's text; empty under the placeholder
    double fontSize = 0;

    bool operator==(const EditorSnapshot&) const = default;
};

}  // namespace qp
