#pragma once
#include <cstdint>

// The shared drawing state: one record of plain fields that every window reads and
// writes directly. Created zeroed; the settings fields are filled by LoadSettings.
struct Module1 {
    // toolbar geometry remembered when drawing mode is entered (twips)
    int32_t savedToolbarTop = 0;
    int32_t savedToolbarLeft = 0;

    // the current drawing pattern and the pen values derived from it
    int16_t drawPattern = 0;   // 1..8, 0 before the first selection
    uint8_t shapeKind = 0;     // 1 free, 2 line, 3 arrow, 4 circle, 5 rectangle, 7 loupe
    uint8_t penMode = 0;       // 13 copy pen, 9 mask pen
    uint8_t drawColor = 0;     // QBColor index
    uint8_t fillStyle = 0;     // 0 solid, 1 transparent

    // drawing mode
    bool drawingOff = false;   // true in normal mode

    // the gesture in progress on the canvas (twips)
    bool isDragging = false;
    float startX = 0, startY = 0;
    float pointerX = 0, pointerY = 0;
    float previewX = 0, previewY = 0;
    float newRadius = 0, circleRadius = 0, circleAspect = 0;

    // user settings (settings.ini)
    uint8_t lineColor = 0;
    uint8_t lineWidth = 0;
    uint8_t fillColor = 0;
    uint8_t startPattern = 0;
    uint8_t autoHide = 0;
    int16_t hotKeyChoice = 0;

    int16_t delayCount = 0;     // delayed-capture countdown, 4 down to 0
    int16_t myWindow = 0;       // open panel: 0 none, 1 help, 2 settings
    int16_t toolbarHeight = 0;  // twips
    bool prevWndProc = false;   // the hot-key hook is installed
};
