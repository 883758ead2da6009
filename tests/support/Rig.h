#pragma once
// The one test rig: settings files in a temporary folder, and the program over fake desktop
// capabilities in a folder of its own.
#include "app/Application.h"
#include "model/SettingsFormat.h"
#include "support/FakePlatform.h"
#include "ui/CanvasWindow.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

// settings.ini with the defaults, byte for byte.
inline const std::string kDefaultBytes = " 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n";

// The default file with line n (1..9) replaced.
inline std::string withLine(int n, const std::string& text, std::string bytes = kDefaultBytes) {
    size_t at = 0;
    for (int i = 1; i < n; ++i) at = bytes.find("\r\n", at) + 2;
    return bytes.replace(at, bytes.find("\r\n", at) - at, text);
}

struct TempDir {  // a temporary folder and its settings.ini
    QTemporaryDir dir;
    std::string path(const char* name = "settings.ini") const { return dir.filePath(name).toStdString(); }
    std::string read(const char* name = "settings.ini") const {
        QFile f(QString::fromStdString(path(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "(none)";
    }
    void write(const std::string& bytes, const char* name = "settings.ini") const {
        QFile f(QString::fromStdString(path(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()));
    }
};

// The program's windows need an application; the tests run under Qt's offscreen platform.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "widget_tests", *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);  // left to the end of the process
    (void)app;
}

struct Rig {
    TempDir dir;
    FakePlatform fake{"slateboard-test-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                      std::to_string(reinterpret_cast<quintptr>(this))};
    std::vector<QString> messages;  // "inform: ..." and "warn: ..."
    std::unique_ptr<Application> app;
    std::string startCalls;  // what the start asked of the desktop

    // Started with these bytes in settings.ini (none: no file), kept at `file` in the folder;
    // `before` runs just before the start.
    explicit Rig(const std::optional<std::string>& bytes = kDefaultBytes, const std::function<void(Rig&)>& before = {},
                 const char* file = "settings.ini") {
        ensureApplication();
        if (bytes) dir.write(*bytes);
        auto note = [this](const char* kind) { return [this, kind](const QString& t) { messages.push_back(kind + t); }; };
        app = std::make_unique<Application>(fake.platform, dir.path(file), Application::Messages{note("inform: "), note("warn: ")});
        if (before) before(*this);
        EXPECT_TRUE(app->start());
        QCoreApplication::processEvents();
        startCalls = fake.seq();
        settle();
    }
    void settle() { QCoreApplication::processEvents(), fake.calls.clear(); }  // a new log once what was done has come in
    ToolbarWindow& toolbar() { return app->toolbar(); }
    bool drawing() { return app->session().active(); }
    CanvasWindow* canvas() { return const_cast<CanvasWindow*>(app->session().canvas()); }
    void key(QKeyCombination k) { QTest::keyClick(toolbar().focusProxy(), k.key(), k.keyboardModifiers()); }
    void clickDrawButton() { toolbar().findChild<QToolButton*>("drawButton")->click(); }
    // The shown window whose title starts so, if any, and a key typed into it.
    static QWidget* window(const QString& titleStart) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle().startsWith(titleStart)) return w;
        return nullptr;
    }
    static void keyIn(QWidget* panel, Qt::Key k) {
        QTest::keyClick(panel->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly), k);
    }
    std::string modeCalls() const {  // the desktop calls that show the order of a change of mode
        return fake.seq({"minimise-", "minimise+", "wait", "wait(shown!)", "grab", "minimize", "restore"});
    }
};
