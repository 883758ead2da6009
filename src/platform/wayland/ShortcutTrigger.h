#pragma once
#include <QKeyCombination>
#include <QString>

namespace platform::wayland {

// A key combination as the desktop's shortcut settings write it (the XDG shortcuts notation the
// GlobalShortcuts portal takes as a preferred trigger): "CTRL+z", "F1", "CTRL+SHIFT+F5". Empty for
// a key it has no name for.
QString shortcutTrigger(QKeyCombination key);

}  // namespace platform::wayland
