#include "hotkey/HotKey.h"

#include "app/App.h"
#include "core/DrawingMode.h"
#include "core/WindowPlacement.h"
#include "platform/Desktop.h"
#include "toolbar/frmToolBar.h"

#include <QToolButton>

#include <cstdio>

namespace hotkey {

Combination combinationFor(int16_t hotKeyChoice) {
    if (hotKeyChoice == 0) return {MOD_CONTROL, VK_Z, "Ctrl + Z"};
    return {0, VK_F1, "F1"};
}

}  // namespace hotkey

void InstallHotKey(App& app) {
    using namespace hotkey;
    app.m.prevWndProc = true;
    app.desktop.setHotKeyHandler([&app](int id) {
        HotKeyWndProc(app, WM_HOTKEY, uint32_t(id), 0, [](uint32_t, uint32_t, int32_t) { return 0; });
    });
    const Combination key = combinationFor(app.m.hotKeyChoice);
    if (app.desktop.registerHotKey(kId, key.modifiers, key.virtualKey)) return;
    std::fprintf(stderr,
                 "slateboard: the hot key %s is held by another program; switch drawing mode with the "
                 "toolbar button or Space instead\n",
                 key.name);
    QToolButton* button = app.toolBar().btnDraw();
    button->setToolTip(button->toolTip() + QStringLiteral("\nHot key %1 unavailable: another program holds it").arg(QLatin1String(key.name)));
}

void RemoveHotKey(App& app) {
    if (app.m.prevWndProc) app.desktop.setHotKeyHandler(nullptr);
    app.m.prevWndProc = false;
    app.desktop.unregisterHotKey(hotkey::kId);
}

int32_t HotKeyWndProc(App& app, uint32_t uMsg, uint32_t wParam, int32_t lParam, const hotkey::WindowProc& previous) {
    if (uMsg == hotkey::WM_HOTKEY && wParam == uint32_t(hotkey::kId)) {
        Module1& m = app.m;
        frmToolBar& toolbar = app.toolBar();
        const bool minimized = app.desktop.isMinimized(toolbar);
        if (m.autoHide == 0) {
            if (minimized) {
                app.desktop.restore(toolbar);
                DisableMinimizeBox(app);
                toolbar.setOuterSize(placement::kToolbarWidthTwips, m.toolbarHeight);
                toolbar.setBtnDrawValue(1);
                m.drawingOff = false;
                EnterDrawingMode(app);
            } else {
                ToggleDrawingMode(app);
            }
        } else if (m.autoHide == 1) {
            if (minimized || m.drawingOff) {
                if (minimized) app.desktop.restore(toolbar);
                DisableMinimizeBox(app);
                toolbar.setBtnDrawValue(1);
                m.drawingOff = false;
                EnterDrawingMode(app);
            } else {
                app.unloadScreen();
                toolbar.setBtnDrawValue(0);
                m.drawingOff = true;
                EnableMinimizeBox(app);
                app.desktop.minimize(toolbar);
            }
        }
    }
    return previous(uMsg, wParam, lParam);
}
