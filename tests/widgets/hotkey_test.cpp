#include "app/App.h"
#include "fakes/FakeDesktop.h"
#include "hotkey/HotKey.h"
#include "toolbar/frmToolBar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct Rig {
    QTemporaryDir dir;
    FakeDesktop desktop;
    std::unique_ptr<App> app;

    explicit Rig(int autoHide = 0, int hotKeyChoice = 0, bool keyTaken = false) {
        QFile f(dir.filePath("settings.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(" 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n " + QByteArray::number(autoHide) +
                " \r\n " + QByteArray::number(hotKeyChoice) + " \r\n");
        f.close();
        desktop.keyTaken = keyTaken;
        app = std::make_unique<App>(desktop, dir.filePath("settings.ini").toStdString());
        EXPECT_TRUE(app->toolBar().Form_Load());
        app->toolBar().show();
    }
    ~Rig() {
        app->unloadScreen();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    bool drawing() const { return app->screen() != nullptr; }
};

}  // namespace

TEST(HotKey, RegistersTheChosenCombination) {
    struct Case { int choice; std::string call; } cases[] = {
        {0, "registerHotKey 256 2 90"}, {1, "registerHotKey 256 0 112"}, {7, "registerHotKey 256 0 112"},
        {-1, "registerHotKey 256 0 112"}};
    for (const Case& c : cases) {
        Rig r(0, c.choice);
        EXPECT_EQ(r.desktop.count(c.call), 1u) << "choice " << c.choice;
        EXPECT_EQ(r.app->toolBar().btnDraw()->toolTip(), "描画オン・オフ");
    }
    // Released first at the end, and no longer acted on.
    Rig r;
    r.app->toolBar().close();
    EXPECT_EQ(r.desktop.count("unregisterHotKey 256"), 1u);
    r.desktop.pressHotKey(256);
    EXPECT_FALSE(r.drawing());
}

TEST(HotKey, HeldByAnotherProgramTheButtonStillWorksAndSaysWhy) {
    Rig r(0, 0, true);
    EXPECT_TRUE(r.app->toolBar().btnDraw()->toolTip().contains("Ctrl + Z"));
    EXPECT_TRUE(r.app->toolBar().btnDraw()->toolTip().startsWith("描画オン・オフ"));
    r.app->toolBar().Toolbar1_ButtonClick("btnDraw");  // as after a user's click: value 0 leaves
    r.app->toolBar().btnDraw()->click();
    EXPECT_TRUE(r.drawing());
}

TEST(HotKey, AutoHideOffToggles) {
    Rig r(0);
    r.desktop.pressHotKey(256);
    EXPECT_TRUE(r.drawing());
    EXPECT_FALSE(r.app->m.drawingOff);
    EXPECT_EQ(r.app->toolBar().btnDrawValue(), 1);
    EXPECT_FALSE(r.desktop.minimizeBox);
    r.desktop.pressHotKey(256);
    EXPECT_FALSE(r.drawing());
    EXPECT_TRUE(r.app->m.drawingOff);
    EXPECT_EQ(r.app->toolBar().btnDrawValue(), 0);
    EXPECT_TRUE(r.desktop.minimizeBox);
    EXPECT_EQ(r.desktop.count("minimize"), 0u);

    // Minimised by the user: restored at the standard height and drawing mode entered.
    r.desktop.minimized = true;
    r.app->toolBar().setFixedSize(87, 5);
    r.desktop.pressHotKey(256);
    EXPECT_EQ(r.desktop.count("restore"), 1u);
    EXPECT_TRUE(r.drawing());
    EXPECT_EQ(r.app->toolBar().frameGeometry().height(), r.app->m.toolbarHeight / 15);
}

TEST(HotKey, AutoHideOnMinimisesOnLeavingAndRestoresOnEntering) {
    Rig r(1);
    r.desktop.pressHotKey(256);
    EXPECT_TRUE(r.drawing());
    r.desktop.pressHotKey(256);
    EXPECT_FALSE(r.drawing());
    EXPECT_TRUE(r.app->m.drawingOff);
    EXPECT_TRUE(r.desktop.minimizeBox);
    EXPECT_TRUE(r.desktop.minimized);
    r.desktop.pressHotKey(256);
    EXPECT_FALSE(r.desktop.minimized);
    EXPECT_TRUE(r.drawing());
    EXPECT_FALSE(r.app->m.drawingOff);
    EXPECT_EQ(r.app->toolBar().btnDrawValue(), 1);
}

TEST(HotKey, OtherAutoHideValuesAndOtherMessagesChangeNothing) {
    Rig r(2);
    r.desktop.pressHotKey(256);
    EXPECT_FALSE(r.drawing());
    EXPECT_TRUE(r.app->m.drawingOff);

    Rig s(0);
    int calls = 0;
    auto previous = [&](uint32_t msg, uint32_t w, int32_t l) {
        ++calls;
        return int32_t(msg + w + uint32_t(l));
    };
    EXPECT_EQ(HotKeyWndProc(*s.app, 0x0010, 256, 5, previous), int32_t(0x10 + 256 + 5));
    EXPECT_EQ(HotKeyWndProc(*s.app, hotkey::WM_HOTKEY, 257, 0, previous), int32_t(0x312 + 257));
    EXPECT_FALSE(s.drawing());
    EXPECT_EQ(HotKeyWndProc(*s.app, hotkey::WM_HOTKEY, 256, 3, previous), int32_t(0x312 + 256 + 3));
    EXPECT_TRUE(s.drawing());
    EXPECT_EQ(calls, 3);
}
