#include "model/Settings.h"

HotKeyAction Settings::hotKeyAction(bool toolbarMinimised, bool drawing) const {
    switch (autoHide) {
    case 0: return toolbarMinimised ? HotKeyAction::RestoreAtStandardSize : HotKeyAction::Toggle;
    case 1:
        if (toolbarMinimised) return HotKeyAction::Restore;
        return drawing ? HotKeyAction::LeaveAndMinimise : HotKeyAction::Enter;
    default: return HotKeyAction::Nothing;
    }
}

const char* hotKeyName(QKeyCombination key) { return key.key() == Qt::Key_F1 ? "F1" : "Ctrl + Z"; }
