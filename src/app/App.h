#pragma once
#include "core/Module1.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace platform { class Desktop; }
class frmToolBar;
class frmScreen;
class frmHelp;
class frmSetUp;

// The application object: owns the shared drawing state and the windows, each created on
// first use as the single instance the others reach through here. Tests build their own.
class App {
public:
    App(platform::Desktop& desktop, std::string settingsPath);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Module1 m;
    platform::Desktop& desktop;
    const std::string settingsPath;

    frmToolBar& toolBar();
    bool toolBarLoaded() const { return toolBar_ != nullptr; }
    void unloadToolBar();

    // The canvas: loaded (which captures the desktop) on every entry into drawing mode,
    // unloaded on every exit. Unloading a canvas that is not loaded does nothing.
    frmScreen* screen() const { return screen_.get(); }
    frmScreen& loadScreen();
    void unloadScreen();

    // The help and settings panels: loaded (their load handlers run) on first use and again
    // after an unload. Unloading sets myWindow to 0 and hides the panel; it is freed once the
    // event being handled, perhaps its own, has returned. Unloading one not loaded does nothing.
    frmHelp& help();
    bool helpLoaded() const { return help_ != nullptr; }
    void unloadHelp();
    frmSetUp& setUp();
    bool setUpLoaded() const { return setUp_ != nullptr; }
    void unloadSetUp();

    // A modal message with an OK button (the Q key). Replaceable in tests.
    std::function<void(const QString& text)> msgBox;
    // A problem the user must hear about (a failed save). Replaceable in tests.
    std::function<void(const QString& text)> warn;

private:
    std::unique_ptr<frmToolBar> toolBar_;
    std::unique_ptr<frmScreen> screen_;
    std::unique_ptr<frmHelp> help_;
    std::unique_ptr<frmSetUp> setUp_;
};
