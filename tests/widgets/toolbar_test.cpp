#include "app/App.h"
#include "core/DrawingMode.h"
#include "fakes/FakeDesktop.h"
#include "toolbar/frmToolBar.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

struct Rig {
    QTemporaryDir dir;
    FakeDesktop desktop;
    std::unique_ptr<App> app;
    QStringList messages, warnings;

    QString path() const { return dir.filePath("settings.ini"); }
    frmToolBar& tb() { return app->toolBar(); }

    bool start() {
        app = std::make_unique<App>(desktop, path().toStdString());
        app->msgBox = [this](const QString& t) { messages << t; };
        app->warn = [this](const QString& t) { warnings << t; };
        return tb().Form_Load();
    }
    void keys(const char* text) {
        for (const char* c = text; *c; ++c) QTest::keyClick(tb().text1(), Qt::Key(QChar(*c).toUpper().unicode()));
    }
};

const QByteArray kDefaults = " 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n";

}  // namespace

TEST(Toolbar, StartSequenceWithoutSettingsFile) {
    Rig r;
    ASSERT_TRUE(r.start());
    EXPECT_EQ(readFile(r.path()), kDefaults);
    Module1& m = r.app->m;
    EXPECT_EQ(m.myWindow, 0);
    EXPECT_TRUE(m.drawingOff);
    EXPECT_EQ(m.drawPattern, 1);
    EXPECT_EQ(r.tb().buttonImage(), 1);
    platform::FrameExtents f = r.desktop.frameExtents(r.tb());
    EXPECT_EQ(m.toolbarHeight, (f.top - f.left) * 15 + 480);
    EXPECT_EQ(r.tb().windowTitle(), "SB");
    EXPECT_EQ(r.tb().framePosition(), QPoint(379, 440));
    EXPECT_EQ(r.tb().top(), 6600);
    EXPECT_EQ(r.tb().left(), 5685);
    // Outer size 1335 x toolbarHeight twips, frame included.
    EXPECT_EQ(r.tb().size(), QSize(89 - f.left - f.right, m.toolbarHeight / 15 - f.top - f.bottom));
    EXPECT_TRUE(r.tb().tmrDelay().isActive());
    EXPECT_FALSE(r.tb().tmrDelay3().isActive());
    EXPECT_EQ(r.tb().countText(), "Rdy");
    EXPECT_EQ(r.tb().btnDrawValue(), 0);
    EXPECT_EQ(r.tb().btnDraw()->toolTip(), "描画オン・オフ");
    EXPECT_TRUE(r.tb().windowFlags() & Qt::WindowStaysOnTopHint);

    r.tb().tmrDelay_Timer();
    EXPECT_FALSE(r.tb().tmrDelay().isActive());
    EXPECT_EQ(r.desktop.count("keepOnTop"), 1u);
}

TEST(Toolbar, SecondInstanceEndsBeforeReadingSettings) {
    Rig r;
    r.desktop.otherInstance = true;
    EXPECT_FALSE(r.start());
    EXPECT_FALSE(QFile::exists(r.path()));
    EXPECT_FALSE(r.tb().tmrDelay().isActive());
}

TEST(Toolbar, StartPatternFromFile) {
    Rig r;
    const QByteArray saved = " 3 \r\n 2 \r\n 10 \r\n 6 \r\nTrue\r\n 1200 \r\n-300 \r\n 0 \r\n 0 \r\n";
    writeFile(r.path(), saved);
    ASSERT_TRUE(r.start());
    Module1& m = r.app->m;
    EXPECT_EQ(r.tb().buttonImage(), 4);
    EXPECT_EQ(m.drawPattern, 6);
    EXPECT_EQ(m.shapeKind, 5);
    EXPECT_EQ(m.penMode, 9);
    EXPECT_EQ(m.drawColor, 10);
    EXPECT_EQ(m.fillStyle, 0);
    EXPECT_EQ(m.lineColor, 3);  // not offered by the panel, used as stored
    EXPECT_EQ(r.tb().top(), 1200);
    EXPECT_EQ(r.tb().left(), -300);  // partly off the screen, the caption still reachable
    EXPECT_EQ(readFile(r.path()), saved);

    // Saved on a monitor that is gone: shown on the screen, the file keeps its value.
    Rig gone;
    const QByteArray far = " 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n-15000 \r\n 57600 \r\n 0 \r\n 0 \r\n";
    writeFile(gone.path(), far);
    ASSERT_TRUE(gone.start());
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(QRect(gone.tb().framePosition(), QSize(89, gone.app->m.toolbarHeight / 15))))
        << gone.tb().framePosition().x() << "," << gone.tb().framePosition().y();
    EXPECT_EQ(readFile(gone.path()), far);

    Rig none;
    writeFile(none.path(), " 12 \r\n 2 \r\n 14 \r\n 9 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n");
    ASSERT_TRUE(none.start());
    EXPECT_EQ(none.app->m.drawPattern, 0);
    EXPECT_EQ(none.app->m.shapeKind, 0);
    EXPECT_EQ(none.tb().buttonImage(), 4);
    none.keys("s");  // a save with no pattern selected writes 0
    EXPECT_TRUE(readFile(none.path()).contains("\r\n 0 \r\nTrue\r\n"));
    QTest::keyClick(none.tb().text1(), Qt::Key_Left);
    EXPECT_EQ(none.app->m.drawPattern, 8);
}

TEST(Toolbar, KeysSelectPatternsAndNeverLeaveText) {
    Rig r;
    ASSERT_TRUE(r.start());
    Module1& m = r.app->m;
    const std::pair<const char*, int> steps[] = {{"l", 2}, {"c", 3}, {"c", 4}, {"c", 3}, {"r", 5}, {"r", 6},
                                                 {"r", 5}, {"e", 7}, {"f", 8}, {"a", 1}};
    for (auto [key, pattern] : steps) {
        r.keys(key);
        EXPECT_EQ(m.drawPattern, pattern) << key;
        EXPECT_TRUE(r.tb().text1()->text().isEmpty());
    }
    QTest::keyClick(r.tb().text1(), Qt::Key_Left);
    EXPECT_EQ(m.drawPattern, 8);
    EXPECT_EQ(r.tb().buttonImage(), 12);
    QTest::keyClick(r.tb().text1(), Qt::Key_Right);
    EXPECT_EQ(m.drawPattern, 1);
    QTest::keyClick(r.tb().text1(), Qt::Key_F6);
    EXPECT_EQ(m.drawPattern, 5);
    QTest::keyClick(r.tb().text1(), Qt::Key_F8);
    EXPECT_EQ(m.drawPattern, 7);

    // Modifiers block commands; nothing typed stays in the box.
    QTest::keyClick(r.tb().text1(), Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(r.tb().text1(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(r.tb().text1(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(m.drawPattern, 7);
    EXPECT_TRUE(r.tb().text1()->text().isEmpty());
    QTest::keyClicks(r.tb().text1(), "xyz 123!");
    EXPECT_TRUE(r.tb().text1()->text().isEmpty());
    EXPECT_EQ(QFile(r.path()).size(), kDefaults.size());  // no save happened

    // Q shows myWindow; S saves the current pattern.
    r.keys("q");
    EXPECT_EQ(r.messages, QStringList{"myWindow=0"});
    r.keys("s");
    EXPECT_TRUE(readFile(r.path()).contains("\r\n 7 \r\nTrue\r\n"));
    EXPECT_TRUE(r.warnings.isEmpty());
}

TEST(Toolbar, CountdownShowsFourToOneThenReady) {
    Rig r;
    ASSERT_TRUE(r.start());
    QTest::keyClick(r.tb().text1(), Qt::Key_Space);
    EXPECT_TRUE(r.tb().tmrDelay3().isActive());
    EXPECT_EQ(r.tb().tmrDelay3().interval(), 1000);
    EXPECT_EQ(r.tb().countText(), "Rdy");
    QStringList shown;
    for (int i = 0; i < 4; ++i) {
        r.tb().tmrDelay3_Timer();
        shown << r.tb().countText();
    }
    EXPECT_EQ(shown, (QStringList{"4", "3", "2", "1"}));
    r.tb().tmrDelay3_Timer();
    EXPECT_EQ(r.tb().countText(), "Rdy");
    EXPECT_FALSE(r.tb().tmrDelay3().isActive());
    EXPECT_EQ(r.app->m.delayCount, 0);
    EXPECT_FALSE(r.app->m.drawingOff);  // the last tick entered drawing mode
    LeaveDrawingMode(*r.app);

    // Space again while "3" shows starts over at 4; activation shows "Rdy" until the next tick.
    QTest::keyClick(r.tb().text1(), Qt::Key_Space);
    r.tb().tmrDelay3_Timer();
    r.tb().tmrDelay3_Timer();
    EXPECT_EQ(r.tb().countText(), "3");
    QTest::keyClick(r.tb().text1(), Qt::Key_Space);
    r.tb().Form_Activate();
    EXPECT_EQ(r.tb().countText(), "Rdy");
    r.tb().tmrDelay3_Timer();
    EXPECT_EQ(r.tb().countText(), "4");
}

TEST(Toolbar, SpaceDoesNothingWithAutoHideOrInDrawingMode) {
    Rig r;
    writeFile(r.path(), " 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 1 \r\n 0 \r\n");
    ASSERT_TRUE(r.start());
    QTest::keyClick(r.tb().text1(), Qt::Key_Space);
    EXPECT_FALSE(r.tb().tmrDelay3().isActive());
    EXPECT_EQ(r.app->m.delayCount, 0);
    r.app->m.autoHide = 0;
    r.app->m.drawingOff = false;
    QTest::keyClick(r.tb().text1(), Qt::Key_Space);
    EXPECT_FALSE(r.tb().tmrDelay3().isActive());
}

TEST(Toolbar, ActivationMatchesMinimiseBoxToMode) {
    Rig r;
    ASSERT_TRUE(r.start());
    r.desktop.calls.clear();
    r.tb().Form_Activate();
    EXPECT_TRUE(r.desktop.minimizeBox);
    EXPECT_EQ(r.desktop.count("keepOnTop"), 1u);
    r.app->m.drawingOff = false;
    r.tb().Form_Activate();
    EXPECT_FALSE(r.desktop.minimizeBox);
}

TEST(Toolbar, FailedSaveWarnsAndKeepsTheOldFile) {
    Rig r;
    ASSERT_TRUE(r.start());
    // A settings path whose folder has gone: the save cannot succeed.
    QTemporaryDir gone;
    std::string path = gone.filePath("sub/settings.ini").toStdString();
    auto app = std::make_unique<App>(r.desktop, path);
    QStringList warnings;
    app->warn = [&](const QString& t) { warnings << t; };
    ASSERT_TRUE(app->toolBar().Form_Load());  // defaults cannot be written: runs on with them
    EXPECT_EQ(app->m.lineColor, 12);
    QTest::keyClick(app->toolBar().text1(), Qt::Key_S);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains("settings.ini"));

    // The working file stays intact when the user saves again and again.
    for (int i = 0; i < 3; ++i) r.keys("rs");
    EXPECT_TRUE(readFile(r.path()).startsWith(" 12 \r\n 2 \r\n 14 \r\n"));
    EXPECT_EQ(QDir(r.dir.path()).entryList(QDir::Files), QStringList{"settings.ini"});
}
