#pragma once
// One test rig: the program over fake desktop capabilities, in a temporary folder of its own.
#include "app/Application.h"
#include "ui/CanvasWindow.h"
#include "model/SettingsFormat.h"
#include "support/FakePlatform.h"
#include "support/Files.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QApplication>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

inline std::string uniqueInstanceName() {
    static int n = 0;
    return "slateboard-test-" + std::to_string(QCoreApplication::applicationPid()) + "-" + std::to_string(++n);
}

struct Rig {
    TempDir dir;
    const std::string instance = uniqueInstanceName();
    FakePlatform fake{instance};
    std::vector<QString> messages;  // "inform: ..." and "warn: ..."
    std::unique_ptr<Application> app;

    std::string startCalls;          // what the start asked of the desktop

    // Started with these bytes in settings.ini (none: no file); `before` runs just before the start.
    explicit Rig(const std::optional<std::string>& bytes = kDefaultBytes, const std::function<void(Rig&)>& before = {}) {
        if (bytes) dir.write(*bytes);
        app = std::make_unique<Application>(
            fake.platform, dir.path(),
            Application::Messages{[this](const QString& t) { messages.push_back("inform: " + t); },
                                  [this](const QString& t) { messages.push_back("warn: " + t); }});
        if (before) before(*this);
        EXPECT_TRUE(app->start());
        QCoreApplication::processEvents();
        startCalls = fake.log.seq();
        settle();
    }
    explicit Rig(const Settings& s) : Rig(settingsformat::format(s)) {}

    // Lets the events of what was done come in, then starts a new log.
    void settle() {
        QCoreApplication::processEvents();
        fake.log.calls.clear();
    }
    ToolbarWindow& toolbar() { return app->toolbar(); }
    bool drawing() { return app->session().active(); }
    void key(QKeyCombination k) { QTest::keyClick(toolbar().focusProxy(), k.key(), k.keyboardModifiers()); }
    void clickDrawButton() { toolbar().findChild<QToolButton*>("drawButton")->click(); }
    // The desktop calls that show the order of a change of mode.
    CanvasWindow* canvas() { return const_cast<CanvasWindow*>(app->session().canvas()); }
    // The open panel window with this title start, if any.
    QWidget* panel(const QString& titleStart) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle().startsWith(titleStart)) return w;
        return nullptr;
    }
    void keyIn(QWidget* panel, Qt::Key k) {
        QTest::keyClick(panel->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly), k);
    }
    std::string modeCalls() const { return fake.log.seq({"minimise-", "minimise+", "wait", "wait(shown!)", "grab", "minimize", "restore"}); }
};
