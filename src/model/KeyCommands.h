#pragma once
#include "model/Pattern.h"

#include <QKeyCombination>

#include <optional>

// The toolbar's single-key commands.
enum class Command {
    None,
    StartCountdown,   // Space: drawing mode in five seconds
    PreviousPattern,  // Left
    NextPattern,      // Right
    OpenSettings,     // Up, Down
    OpenHelp,         // H
    SelectPattern,    // A, C, E, F, L, R, F2..F8
    ShowOpenPanel,    // Q
    Save,             // S
};

struct KeyCommand {
    Command command = Command::None;
    Pattern pattern = Pattern::Arrow;  // for SelectPattern
    bool operator==(const KeyCommand&) const = default;
};

// What decides whether a key acts.
struct KeyContext {
    std::optional<Pattern> current;  // C and R toggle between the outline and the filled form
    bool countdownAllowed = true;    // Space: normal mode with Auto-Hide off
    bool panelOpen = false;          // H, Up and Down open a panel only while none is open
};

// The command of a key pressed on the toolbar. Shift, Ctrl or Alt held blocks every command;
// letters count whatever their case.
KeyCommand commandFor(QKeyCombination key, const KeyContext& context);
