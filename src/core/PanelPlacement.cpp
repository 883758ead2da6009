#include "core/PanelPlacement.h"

#include "app/App.h"
#include "core/Numeric.h"
#include "toolbar/frmToolBar.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace panels {

int clientHeight(int outerHeightTwips, const platform::FrameExtents& frame, int hiddenFromPx) {
    int h = numeric::twipsToPixels(outerHeightTwips) - frame.top - frame.bottom;
    return std::max(1, std::min(h, hiddenFromPx));
}

QPoint centred(const QSize& outer, const QRect& area) {
    return {area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2};
}

void sizeAndCentre(App& app, QWidget& panel, int clientWidthPx, int outerHeightTwips, int hiddenFromPx) {
    platform::FrameExtents f = app.desktop.frameExtents(panel);
    QSize client(clientWidthPx, clientHeight(outerHeightTwips, f, hiddenFromPx));
    panel.setFixedSize(client);

    QScreen* screen = app.toolBarLoaded() ? app.toolBar().screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QSize outer = client + QSize(f.left + f.right, f.top + f.bottom);
    QPoint frameTopLeft = centred(outer, screen->availableGeometry());
    // Not mapped yet: Qt places the client, so it goes inside the frame-to-be.
    panel.setGeometry(QRect(frameTopLeft + QPoint(f.left, f.top), client));
}

}  // namespace panels
