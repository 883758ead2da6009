#pragma once
#include <Qt>

struct Module1;

// The toolbar's single-key commands. Keys are identified by Windows-style virtual-key
// codes (the letter's code whatever its case) and a modifier mask (1 Shift, 2 Ctrl, 4 Alt).
namespace keymap {

enum class Command {
    None,
    ArmCountdown,     // Space: delayed capture
    PreviousPattern,  // Left
    NextPattern,      // Right
    OpenSettings,     // Up, Down
    OpenHelp,         // H
    SelectPattern,    // A, C, E, F, L, R, F2..F8
    ShowMyWindow,     // Q
    Save,             // S
};

struct Action {
    Command command = Command::None;
    int pattern = 0;  // for SelectPattern
    bool operator==(const Action&) const = default;
};

namespace vk {
inline constexpr int Space = 32, Left = 37, Up = 38, Right = 39, Down = 40;
inline constexpr int F1 = 112, F2 = 113, F8 = 119;
}  // namespace vk

// What a key press on the toolbar does in the current state. Any modifier blocks every command.
Action decide(int keyCode, int shift, const Module1& m);

// Qt's key code to the virtual-key code; 0 for keys without one.
int virtualKeyFromQt(int qtKey);
// Qt's modifiers to the mask 1 Shift, 2 Ctrl, 4 Alt.
int shiftMaskFromQt(Qt::KeyboardModifiers modifiers);

}  // namespace keymap
