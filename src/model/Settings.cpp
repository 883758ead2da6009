#include "model/Settings.h"

HotKeyAction Settings::hotKeyAction(bool toolbarMinimised, bool drawing) const {
    // The toolbar can be minimised in drawing mode too (a window manager's key, or one that
    // ignores the missing minimise action). Entering again would throw the drawing away: without
    // Auto-Hide the key brings the toolbar back over the drawing, as it brings back a toolbar
    // minimised in normal mode; with Auto-Hide it leaves drawing mode, as it always does there,
    // and the toolbar stays minimised until the next press.
    switch (autoHide) {
    case 0:
        if (!toolbarMinimised) return HotKeyAction::Toggle;
        return drawing ? HotKeyAction::RestoreOverDrawing : HotKeyAction::RestoreAtStandardSize;
    case 1:
        if (drawing) return HotKeyAction::LeaveAndMinimise;
        return toolbarMinimised ? HotKeyAction::Restore : HotKeyAction::Enter;
    default: return HotKeyAction::Nothing;
    }
}

const char* hotKeyName(QKeyCombination key) { return key.key() == Qt::Key_F1 ? "F1" : "Ctrl + Z"; }
