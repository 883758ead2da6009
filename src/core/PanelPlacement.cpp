#include "core/PanelPlacement.h"

#include "app/App.h"
#include "core/Numeric.h"
#include "toolbar/frmToolBar.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace panels {

int clientHeight(int outerHeightTwips, const platform::FrameExtents& frame, int hiddenFromPx, double devicePixelRatio) {
    int h = numeric::twipsToPixels(outerHeightTwips - numeric::deviceToTwips(frame.top + frame.bottom, devicePixelRatio));
    return std::max(1, std::min(h, hiddenFromPx));
}

QPoint centred(const QSize& outer, const QRect& area) {
    return {area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2};
}

void sizeAndCentre(App& app, QWidget& panel, int clientWidthPx, int outerHeightTwips, int hiddenFromPx) {
    QScreen* screen = app.toolBarLoaded() ? app.toolBar().screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    // The frame comes in device pixels; sizes and places here are logical pixels.
    const double r = screen ? screen->devicePixelRatio() : panel.devicePixelRatioF();
    platform::FrameExtents f = app.desktop.frameExtents(panel);
    QSize client(clientWidthPx, clientHeight(outerHeightTwips, f, hiddenFromPx, r));
    panel.setFixedSize(client);
    if (!screen) return;

    auto logical = [r](int device) { return int(numeric::roundHalfEven(device / r)); };
    QSize outer = client + QSize(logical(f.left + f.right), logical(f.top + f.bottom));
    QPoint frameTopLeft = centred(outer, screen->availableGeometry());
    // Not mapped yet: Qt places the client, so it goes inside the frame-to-be. Qt converts the
    // place with the origin of the screen it has the panel on: that must be this screen.
    panel.setScreen(screen);
    panel.setGeometry(QRect(frameTopLeft + QPoint(logical(f.left), logical(f.top)), client));
}

void show(App& app, QWidget& panel) {
    panel.show();
    // Owned by the toolbar, the panel stays in front of it and so of the canvas. (Qt clears
    // the owner of a plain window when it shows it.)
    app.desktop.setOwner(panel, app.toolBar());
    // Minimised, the panel would keep myWindow set with no way back to it from the toolbar.
    app.desktop.setMinimizeBox(panel, false);
    panel.raise();
    panel.activateWindow();
}

}  // namespace panels
