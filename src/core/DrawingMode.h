#pragma once

class App;

// Switching between normal mode and drawing mode.

// Remembers the toolbar's position, hides it and loads the canvas, which captures the desktop
// and brings the toolbar back above it. Sets neither drawingOff nor btnDraw.
void EnterDrawingMode(App& app);

// Enters drawing mode when it is off, otherwise leaves it.
void ToggleDrawingMode(App& app);

// The leave sequence: canvas unloaded, btnDraw released, drawingOff True, minimise box back.
void LeaveDrawingMode(App& app);

// A double-click on the canvas: the leave sequence, and the toolbar minimised with Auto-Hide.
void LeaveDrawingModeByDoubleClick(App& app);

// The user pressed (value 1) or released (value 0) btnDraw.
void DrawButtonClicked(App& app, int value);

// The countdown's last tick: enters drawing mode unless it is already on.
void EnterDrawingModeAfterCountdown(App& app);

// Start-up with drawing mode saved as on.
void EnterDrawingModeAtStart(App& app);
