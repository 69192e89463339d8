#pragma once
// Keyboard shortcuts of the one window: a key runs an action of the screen
// on top (the first of its actions that screen has), as that screen's
// button would, or a command of the window itself.

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace qp {

enum class WindowCommand { None, ShowShortcutList, ZoomActual, ZoomDouble, ZoomFit };

struct WindowShortcut {
    // Key sequences in portable text ("Ctrl+O", "Esc"); the first is the
    // one the shortcut list shows.
    std::vector<std::string> keys;
    std::string description;
    // Action names tried in turn on the screen on top.
    std::vector<std::string> actions;
    WindowCommand command = WindowCommand::None;
    // Whether the key also closes a layer over the screens (a web dialog)
    // as that layer's close button would. Other screen keys do nothing while
    // a layer is up; the window's own commands still run.
    bool closesLayer = false;
};

// The first of the shortcut's actions that `screenHas` answers true for.
std::optional<std::string> actionToRun(const WindowShortcut& shortcut,
                                       const std::function<bool(const std::string&)>& screenHas);

// Whether `view` lets its action `name` run now: a button of the layout that
// names the action must be shown and enabled (a hidden photo button means
// no photo can be chosen); an action no button names is always available.
bool actionIsAvailable(const QWidget* view, const std::string& name);

// The key as the desktop writes it ("Ctrl+O"), for the shortcut list.
std::string shortcutKeysText(const WindowShortcut& shortcut);

}  // namespace qp
