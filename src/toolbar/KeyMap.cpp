#include "toolbar/KeyMap.h"

#include "core/Module1.h"

namespace keymap {

Action decide(int keyCode, int shift, const Module1& m) {
    if (shift != 0) return {};
    auto select = [](int pattern) { return Action{Command::SelectPattern, pattern}; };
    switch (keyCode) {
    case vk::Space:
        if (m.autoHide == 0 && m.drawingOff) return {Command::ArmCountdown};
        return {};
    case vk::Left: return {Command::PreviousPattern};
    case vk::Right: return {Command::NextPattern};
    case vk::Up:
    case vk::Down:
        if (m.myWindow == 0) return {Command::OpenSettings};
        return {};
    case 'A': return select(1);
    case 'C': return select(m.drawPattern == 3 ? 4 : 3);
    case 'E': return select(7);
    case 'F': return select(8);
    case 'H':
        if (m.myWindow == 0) return {Command::OpenHelp};
        return {};
    case 'L': return select(2);
    case 'Q': return {Command::ShowMyWindow};
    case 'R': return select(m.drawPattern == 5 ? 6 : 5);
    case 'S': return {Command::Save};
    default:
        if (keyCode >= vk::F2 && keyCode <= vk::F8) return select(keyCode - vk::F2 + 1);
        return {};
    }
}

int virtualKeyFromQt(int qtKey) {
    if (qtKey == Qt::Key_Space) return vk::Space;
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;  // same codes as the virtual keys
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return vk::F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int shiftMaskFromQt(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers & Qt::ShiftModifier) mask |= 1;
    if (modifiers & Qt::ControlModifier) mask |= 2;
    if (modifiers & Qt::AltModifier) mask |= 4;
    return mask;
}

}  // namespace keymap
