#pragma once
#include "model/Pattern.h"

#include <QKeyCombination>

#include <cstdint>
#include <optional>

// What the program does when the hot key is pressed, for the Auto-Hide setting and the state
// of the toolbar and of drawing mode.
enum class HotKeyAction {
    Nothing,
    Toggle,                    // enter or leave drawing mode
    RestoreAtStandardSize,     // restore the minimised toolbar at its standard size, then enter
    Restore,                   // restore the minimised toolbar, then enter
    RestoreOverDrawing,        // restore the toolbar at its standard size above the drawing, kept as it is
    Enter,                     // enter, the minimise box going first
    LeaveAndMinimise,          // leave, then minimise the toolbar
};

// The user's settings: the nine values of settings.ini, as stored. Raw values are kept as they
// were read; the readings below say what the program makes of them.
struct Settings {
    uint8_t lineColour = 12;  // palette index
    uint8_t lineWidth = 2;
    uint8_t fillColour = 14;  // palette index
    int16_t pattern = 1;      // the pattern at the last save, selected at start
    bool drawingOff = true;   // false: drawing mode was on at the last save, and starts on
    float top = 6600;         // the toolbar's frame, twips
    float left = 5685;
    uint8_t autoHide = 0;     // 0 off, 1 on; any other value hides on a double-click only
    int16_t hotKeyChoice = 0; // 0 Ctrl + Z, anything else F1

    bool operator==(const Settings&) const = default;

    std::optional<Pattern> startPattern() const { return patternNumbered(pattern); }
    // A double-click on the canvas minimises the toolbar, and the settings panel shows the box ticked.
    bool autoHideOn() const { return autoHide != 0; }
    // Space starts the delayed capture only with Auto-Hide exactly off.
    bool allowsCountdown() const { return autoHide == 0; }
    QKeyCombination hotKey() const {
        return hotKeyChoice == 0 ? QKeyCombination(Qt::ControlModifier, Qt::Key_Z) : QKeyCombination(Qt::Key_F1);
    }
    // The settings panel shows F1 chosen only for 1; any other value shows Ctrl + Z.
    bool showsF1() const { return hotKeyChoice == 1; }
    HotKeyAction hotKeyAction(bool toolbarMinimised, bool drawing) const;
};

// "Ctrl + Z" or "F1", as the settings panel names the keys.
const char* hotKeyName(QKeyCombination key);
