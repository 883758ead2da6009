#pragma once
#include <cstdint>
#include <functional>

class App;

// The system-wide hot key that switches drawing mode from any application: Ctrl + Z, or F1
// when hotKeyChoice is anything but 0.
namespace hotkey {

inline constexpr int kId = 256;
inline constexpr uint32_t WM_HOTKEY = 0x312;
inline constexpr int MOD_CONTROL = 2;
inline constexpr int VK_Z = 0x5A, VK_F1 = 0x70;

struct Combination {
    int modifiers;
    int virtualKey;
    const char* name;
};
// The combination for a hot-key choice, read once at start.
Combination combinationFor(int16_t hotKeyChoice);

// What runs a message when the hot-key procedure passes it on.
using WindowProc = std::function<int32_t(uint32_t uMsg, uint32_t wParam, int32_t lParam)>;

}  // namespace hotkey

// Registers the hot key for the toolbar and routes it to HotKeyWndProc. When another program
// holds the combination the program runs on without it, says so on standard error and in the
// drawing-mode button's tool tip.
void InstallHotKey(App& app);

// Releases the hot key; runs first at exit, while the toolbar still exists.
void RemoveHotKey(App& app);

// Acts on WM_HOTKEY with identifier 256 by the Auto-Hide setting; every message, that one
// included, then goes on to `previous`, whose result is returned unchanged.
int32_t HotKeyWndProc(App& app, uint32_t uMsg, uint32_t wParam, int32_t lParam, const hotkey::WindowProc& previous);
