#include "platform/qt/QtPlatform.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform::qt {

namespace {

class QtWindowHints final : public WindowHints {
public:
    void keepOnTop(QWidget& window) override { window.raise(); }
    bool setMinimizable(QWidget& window, bool minimizable) override {
        if (QWindow* handle = window.windowHandle()) handle->setFlag(Qt::WindowMinimizeButtonHint, minimizable);
        return true;
    }
    FrameExtents frameExtents(QWidget&) override { return {}; }
    void setOwner(QWidget&, QWidget*) override {}
    void minimize(QWidget& window) override { window.showMinimized(); }
    void restore(QWidget& window) override { window.showNormal(); }
    bool isMinimized(QWidget& window) override { return window.isMinimized(); }
};

class QtScreenCapture final : public ScreenCapture {
public:
    void hide(QWidget& window) override { window.hide(); }
    QImage grab(const QRect& area) override {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return {};
        return screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32).copy(area);
    }
};

class NoGlobalShortcut final : public GlobalShortcut {
public:
    bool set(QKeyCombination) override { return false; }
    void clear() override {}
};

}  // namespace

Platform createQtPlatform() {
    return {std::make_unique<QtWindowHints>(), std::make_unique<QtScreenCapture>(),
            std::make_unique<NoGlobalShortcut>(), std::make_unique<SingleInstance>(instanceName("slateboard")),
            std::make_unique<Keyboard>(), nullptr};
}

}  // namespace platform::qt
