#pragma once
#include "app/DrawingSession.h"
#include "model/KeyCommands.h"
#include "model/Settings.h"
#include "platform/Platform.h"
#include "ui/LaterPtr.h"
#include "ui/ToolbarWindow.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class HelpPanel;
class SettingsPanel;

// The panel open at the moment; the numbers are what Q shows.
enum class OpenPanel { None = 0, Help = 1, Settings = 2 };

// The program: it makes the windows, wires them together and runs the start and the end.
class Application final : public QObject {
    Q_OBJECT
public:
    // Messages to the user: a plain one with an OK button (Q), and a warning (a failed save).
    struct Messages {
        std::function<void(const QString&)> inform;
        std::function<void(const QString&)> warn;
    };

    Application(platform::Platform& platform, std::string settingsPath, Messages messages = {});
    ~Application() override;

    // The start: false when another instance runs, and this one must end at once.
    bool start();

    ToolbarWindow& toolbar() { return toolbar_; }
    DrawingSession& session() { return session_; }
    const Settings& settings() const { return settings_; }
    OpenPanel openPanel() const { return open_; }

private:
    void onKey(QKeyCombination key);
    void onHotKey();
    void onDrawButton(bool pressed);
    void onCountdownFinished();
    void onToolbarClosing();
    void save();
    void showPanel(OpenPanel which);
    void closePanel(OpenPanel which);
    void giveKeysBack();
    void applySettings(bool save);

    platform::Platform& platform_;
    const std::string settingsPath_;
    Messages messages_;
    Settings settings_;
    ToolbarWindow toolbar_;
    DrawingSession session_;
    LaterPtr<HelpPanel> help_;
    LaterPtr<SettingsPanel> settingsPanel_;
    OpenPanel open_ = OpenPanel::None;
    bool ended_ = false;
};
