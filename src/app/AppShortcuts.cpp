#include "app/AppShortcuts.h"

namespace qp {

const std::vector<WindowShortcut>& appShortcuts() {
    static const std::vector<WindowShortcut> shortcuts = {
        {{"Ctrl+O"}, "Choose a photo", {"loadPhoto"}},
        {{"Ctrl+S"}, "Share the picture", {"actionShareButton"}},
        {{"Ctrl+Z"}, "Undo", {"actionUndoButton"}},
        {{"Ctrl+Shift+Z", "Ctrl+Y"}, "Redo", {"actionRedoButton"}},
        // A web dialog, then the picker, is closed before the screen under it.
        {{"Esc"},
         "Go back",
         {"cancel", "actionBackFromShareButton", "actionBackButton"},
         WindowCommand::None,
         true},
        {{"Ctrl+1"}, "Zoom 1×", {}, WindowCommand::ZoomActual},
        {{"Ctrl+2"}, "Zoom 2×", {}, WindowCommand::ZoomDouble},
        {{"Ctrl+0"}, "Zoom to fit the screen", {}, WindowCommand::ZoomFit},
        {{"F1", "Ctrl+/"}, "Keyboard shortcuts", {}, WindowCommand::ShowShortcutList},
    };
    return shortcuts;
}

}  // namespace qp
