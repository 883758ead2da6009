#pragma once
#include "platform/Desktop.h"

#include <QWidget>

#include <string>
#include <vector>

// A desktop that records what the program asks of it.
class FakeDesktop final : public platform::Desktop {
public:
    bool otherInstance = false;
    std::vector<std::string> calls;
    bool minimizeBox = true;

    bool prevInstance() override {
        calls.push_back("prevInstance");
        return otherInstance;
    }
    void keepOnTop(QWidget&) override { calls.push_back("keepOnTop"); }
    void setMinimizeBox(QWidget&, bool present) override {
        calls.push_back(present ? "minimizeBox+" : "minimizeBox-");
        minimizeBox = present;
    }
    // The frame Qt's platform plugin puts around the window, so that positions agree with
    // what the widgets report once shown.
    platform::FrameExtents frameExtents(QWidget& w) override {
        QRect g = w.geometry(), f = w.frameGeometry();
        return {g.left() - f.left(), f.right() - g.right(), g.top() - f.top(), f.bottom() - g.bottom()};
    }
    void waitUntilGone(QWidget&) override { calls.push_back("waitUntilGone"); }
    // The screen: a gradient the tests can recognise in the canvas.
    QImage capture(const QRect& area) override {
        calls.push_back("capture");
        QImage img(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb((area.x() + x) & 0xff, (area.y() + y) & 0xff, 0x80));
        return img;
    }
    void setOwner(QWidget&, QWidget&) override { calls.push_back("setOwner"); }
    void minimize(QWidget&) override { calls.push_back("minimize"); minimized = true; }
    void restore(QWidget&) override { calls.push_back("restore"); minimized = false; }
    bool isMinimized(QWidget&) override { return minimized; }
    bool minimized = false;

    bool registerHotKey(int id, int modifiers, int key) override {
        calls.push_back("registerHotKey " + std::to_string(id) + " " + std::to_string(modifiers) + " " +
                        std::to_string(key));
        return !keyTaken;
    }
    void unregisterHotKey(int id) override { calls.push_back("unregisterHotKey " + std::to_string(id)); }
    void pressHotKey(int id) { hotKeyPressed(id); }
    bool keyTaken = false;

    size_t count(const std::string& call) const {
        size_t n = 0;
        for (const auto& c : calls) n += c == call;
        return n;
    }
};
