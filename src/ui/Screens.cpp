#include "ui/Screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace screens {

QRect deviceGeometry(const QScreen& screen) {
    const QRect g = screen.geometry();
    const qreal r = screen.devicePixelRatio();
    return QRect(g.topLeft(), QSize(qRound(g.width() * r), qRound(g.height() * r)));
}

QRect deviceGeometry(const QWidget& window) {
    const QRect g = window.geometry();
    const QScreen* s = window.screen();
    if (!s) return g;
    const QPointF origin = s->geometry().topLeft();
    const qreal r = s->devicePixelRatio();
    const QPointF at = origin + (QPointF(g.topLeft()) - origin) * r;
    return QRect(QPoint(qRound(at.x()), qRound(at.y())), QSize(qRound(g.width() * r), qRound(g.height() * r)));
}

QPointF logicalFromDevice(QPoint device) {
    QScreen* holder = QGuiApplication::primaryScreen();
    for (QScreen* s : QGuiApplication::screens())
        if (deviceGeometry(*s).contains(device)) holder = s;
    if (!holder) return QPointF(device);
    const QPointF origin = holder->geometry().topLeft();
    return origin + (QPointF(device) - origin) / holder->devicePixelRatio();
}

}  // namespace screens
