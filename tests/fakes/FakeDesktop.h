#pragma once
#include "platform/Desktop.h"

#include <QWidget>

#include <string>
#include <vector>

// A desktop that records what the program asks of it.
class FakeDesktop final : public platform::Desktop {
public:
    bool otherInstance = false;
    platform::FrameExtents extents{1, 1, 21, 1};
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
    platform::FrameExtents frameExtents(QWidget&) override { return extents; }

    size_t count(const std::string& call) const {
        size_t n = 0;
        for (const auto& c : calls) n += c == call;
        return n;
    }
};
