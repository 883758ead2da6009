#include "core/DrawingMode.h"

#include "app/App.h"
#include "canvas/frmScreen.h"
#include "core/Numeric.h"
#include "core/WindowPlacement.h"
#include "platform/Desktop.h"
#include "toolbar/frmToolBar.h"

void EnterDrawingMode(App& app) {
    frmToolBar& toolbar = app.toolBar();
    app.m.savedToolbarTop = static_cast<int32_t>(numeric::roundHalfEven(toolbar.top()));
    app.m.savedToolbarLeft = static_cast<int32_t>(numeric::roundHalfEven(toolbar.left()));
    toolbar.hide();
    app.loadScreen();
}

void ToggleDrawingMode(App& app) {
    if (app.m.drawingOff) {
        EnterDrawingMode(app);
        app.toolBar().setBtnDrawValue(1);
        app.m.drawingOff = false;
        DisableMinimizeBox(app);
    } else {
        LeaveDrawingMode(app);
    }
}

void LeaveDrawingMode(App& app) {
    app.unloadScreen();
    app.toolBar().setBtnDrawValue(0);
    app.m.drawingOff = true;
    EnableMinimizeBox(app);
}

void LeaveDrawingModeByDoubleClick(App& app) {
    app.unloadScreen();
    EnableMinimizeBox(app);
    app.toolBar().setBtnDrawValue(0);
    app.m.drawingOff = true;
    if (app.m.autoHide != 0) app.desktop.minimize(app.toolBar());
}

void DrawButtonClicked(App& app, int value) {
    if (value == 1) {
        DisableMinimizeBox(app);
        EnterDrawingMode(app);
        app.m.drawingOff = false;
    } else {
        EnableMinimizeBox(app);
        app.unloadScreen();
        app.m.drawingOff = true;
    }
}

void EnterDrawingModeAfterCountdown(App& app) {
    // Drawing mode may have been entered another way while the countdown ran: keep that canvas
    // and what is drawn on it.
    if (!app.m.drawingOff) return;
    EnterDrawingMode(app);
    DisableMinimizeBox(app);
    app.toolBar().setBtnDrawValue(1);
    app.m.drawingOff = false;
}

void EnterDrawingModeAtStart(App& app) {
    DisableMinimizeBox(app);
    EnterDrawingMode(app);
    app.toolBar().setBtnDrawValue(1);
}
