#pragma once
// The desktop's capabilities as fakes that note what the program asks of them in one log.
#include "platform/Platform.h"

#include <QImage>
#include <QKeySequence>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct FakeDesktop {
    std::vector<std::string> calls;
    bool hinted = false;
    bool minimizable = true, minimized = false, keyTaken = false;
    std::function<void()> onGrab;  // runs while the screen is read
    QString grabFailure;           // set: the screen cannot be read, for this reason
    QString shortcutWay;           // how the hot key works, as the shortcut tells it
    std::vector<std::pair<QString, unsigned long>> keysGiven;  // window title, the user's time
    // The calls (those named in `only`, when given), in their order, joined by spaces.
    std::string seq(const std::vector<std::string>& only = {}) const {
        std::string out;
        for (const auto& c : calls)
            if (only.empty() || std::find(only.begin(), only.end(), c) != only.end()) out += (out.empty() ? "" : " ") + c;
        return out;
    }
};

struct FakeHints final : platform::WindowHints {
    FakeDesktop& d;
    explicit FakeHints(FakeDesktop& desktop) : d(desktop) {}
    void keepOnTop(QWidget&) override { d.calls.push_back("onTop"); }
    bool setMinimizable(QWidget& w, bool on) override {
        // Written again with the same value (Qt rewrites the hints with the window's flags): no step.
        if (w.windowTitle() == "SB" && (d.minimizable != on || !d.hinted))
            d.calls.push_back(on ? "minimise+" : "minimise-"), d.minimizable = on, d.hinted = true;
        return true;
    }
    // The frame Qt's platform puts round the window, so that places agree with the widgets'.
    platform::FrameExtents frameExtents(QWidget& w) override {
        const QRect g = w.geometry(), f = w.frameGeometry();
        return {g.left() - f.left(), f.right() - g.right(), g.top() - f.top(), f.bottom() - g.bottom()};
    }
    void setOwner(QWidget&, QWidget*) override {}
    void giveKeys(QWidget& w, unsigned long userTime) override {
        d.keysGiven.emplace_back(w.windowTitle(), userTime);
        w.activateWindow();
    }
    void minimize(QWidget&) override { d.calls.push_back("minimize"), d.minimized = true; }
    void restore(QWidget&) override { d.calls.push_back("restore"), d.minimized = false; }
    bool isMinimized(QWidget&) override { return d.minimized; }
};

// The screen: a gradient the canvas is known by, red x, green y, blue 0x80.
struct FakeCapture final : platform::ScreenCapture {
    FakeDesktop& d;
    explicit FakeCapture(FakeDesktop& desktop) : d(desktop) {}
    void hide(QWidget& w) override { w.hide(), d.calls.push_back("wait"); }
    QImage grab(const QRect& area) override {
        d.calls.push_back("grab");
        if (d.onGrab) d.onGrab();
        if (!d.grabFailure.isEmpty()) return {};
        QImage img(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb((area.x() + x) & 255, (area.y() + y) & 255, 0x80));
        return img;
    }
    QString failure() const override { return d.grabFailure; }
};

struct FakeShortcut final : platform::GlobalShortcut {
    FakeDesktop& d;
    explicit FakeShortcut(FakeDesktop& desktop) : d(desktop) {}
    bool set(QKeyCombination key) override { return d.calls.push_back("set " + QKeySequence(key).toString().toStdString()), !d.keyTaken; }
    void clear() override { d.calls.push_back("clear"); }
    QString way(QKeyCombination) const override { return d.shortcutWay; }
};

struct FakePlatform : FakeDesktop {
    platform::Platform platform{std::make_unique<FakeHints>(*this), std::make_unique<FakeCapture>(*this),
                                std::make_unique<FakeShortcut>(*this), nullptr, std::make_unique<platform::Keyboard>(), nullptr};
    const std::string instanceName;
    explicit FakePlatform(const std::string& name) : instanceName(name) {
        platform.instance = std::make_unique<platform::SingleInstance>(name);
    }
    void pressHotKey() { emit platform.shortcut->activated(); }
};
