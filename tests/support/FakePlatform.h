#pragma once
// The desktop's capabilities as fakes that write what the program asks of them into one log.
#include "platform/Platform.h"

#include <QImage>
#include <QKeySequence>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct DesktopLog {
    std::vector<std::string> calls;
    size_t count(const std::string& call) const { return size_t(std::count(calls.begin(), calls.end(), call)); }
    // The calls, those of `only` alone when given, joined by spaces.
    std::string seq(const std::vector<std::string>& only = {}) const {
        std::string out;
        for (const auto& c : calls)
            if (only.empty() || std::find(only.begin(), only.end(), c) != only.end()) out += (out.empty() ? "" : " ") + c;
        return out;
    }
};

class FakeHints final : public platform::WindowHints {
public:
    explicit FakeHints(DesktopLog& log) : log_(log) {}
    bool minimizable = true, minimized = false;
    void keepOnTop(QWidget&) override { log_.calls.push_back("onTop"); }
    void setMinimizable(QWidget& w, bool on) override {
        if (w.windowTitle() != "SB") return;  // the panels' are not followed here
        log_.calls.push_back(on ? "minimise+" : "minimise-");
        minimizable = on;
    }
    // The frame Qt's platform puts round the window, so that places agree with the widgets'.
    platform::FrameExtents frameExtents(QWidget& w) override {
        const QRect g = w.geometry(), f = w.frameGeometry();
        return {g.left() - f.left(), f.right() - g.right(), g.top() - f.top(), f.bottom() - g.bottom()};
    }
    void setOwner(QWidget&, QWidget&) override {}
    void minimize(QWidget&) override { log_.calls.push_back("minimize"), minimized = true; }
    void restore(QWidget&) override { log_.calls.push_back("restore"), minimized = false; }
    bool isMinimized(QWidget&) override { return minimized; }

private:
    DesktopLog& log_;
};

// The screen: a gradient the canvas can be recognised by, red = x, green = y, blue 0x80.
class FakeCapture final : public platform::ScreenCapture {
public:
    FakeCapture(DesktopLog& log, std::function<void()>& onGrab) : log_(log), onGrab_(onGrab) {}
    void waitUntilGone(QWidget& w) override { log_.calls.push_back(w.isVisible() ? "wait(shown!)" : "wait"); }
    QImage grab(const QRect& area) override {
        log_.calls.push_back("grab");
        if (onGrab_) onGrab_();
        QImage img(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb((area.x() + x) & 0xff, (area.y() + y) & 0xff, 0x80));
        return img;
    }

private:
    DesktopLog& log_;
    std::function<void()>& onGrab_;
};

class FakeShortcut final : public platform::GlobalShortcut {
public:
    explicit FakeShortcut(DesktopLog& log) : log_(log) {}
    bool taken = false;  // another program holds the key
    bool set(QKeyCombination key) override {
        log_.calls.push_back("set " + QKeySequence(key).toString().toStdString());
        return !taken;
    }
    void clear() override { log_.calls.push_back("clear"); }
    void press() { emit activated(); }

private:
    DesktopLog& log_;
};

struct FakePlatform {
    DesktopLog log;
    std::function<void()> onGrab;  // runs while the screen is read
    FakeHints* hints;
    FakeShortcut* shortcut;
    platform::Platform platform;

    explicit FakePlatform(const std::string& instanceName) {
        auto h = std::make_unique<FakeHints>(log);
        auto s = std::make_unique<FakeShortcut>(log);
        hints = h.get();
        shortcut = s.get();
        platform = {std::move(h), std::make_unique<FakeCapture>(log, onGrab), std::move(s),
                    std::make_unique<platform::SingleInstance>(instanceName)};
    }
};
