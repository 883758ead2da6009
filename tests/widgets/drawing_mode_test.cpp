#include "app/App.h"
#include "canvas/frmScreen.h"
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

struct Rig {
    QTemporaryDir dir;
    FakeDesktop desktop;
    std::unique_ptr<App> app;

    explicit Rig(const QByteArray& settings = {}) {
        if (!settings.isEmpty()) {
            QFile f(dir.filePath("settings.ini"));
            f.open(QIODevice::WriteOnly);
            f.write(settings);
        }
        app = std::make_unique<App>(desktop, dir.filePath("settings.ini").toStdString());
        app->warn = [](const QString&) {};
        EXPECT_TRUE(app->toolBar().Form_Load());
        app->toolBar().show();
    }
    ~Rig() {
        app->unloadScreen();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    frmToolBar& tb() { return app->toolBar(); }
    Module1& m() { return app->m; }
    void clickDraw() { QTest::mouseClick(tb().btnDraw(), Qt::LeftButton); }
    size_t indexOf(const std::string& call) const {
        for (size_t i = 0; i < desktop.calls.size(); ++i)
            if (desktop.calls[i] == call) return i;
        return size_t(-1);
    }
};

QByteArray settingsWith(const char* drawingOff, int autoHide) {
    return QByteArray(" 12 \r\n 2 \r\n 14 \r\n 3 \r\n") + drawingOff + "\r\n 1200 \r\n 4500 \r\n " +
           QByteArray::number(autoHide) + " \r\n 0 \r\n";
}

}  // namespace

TEST(DrawingMode, DrawButtonEntersWithAFreshCopyAndLeaves) {
    Rig r(settingsWith("True", 1));
    r.desktop.calls.clear();
    r.clickDraw();
    frmScreen* canvas = r.app->screen();
    ASSERT_NE(canvas, nullptr);
    // The minimise box goes first, the toolbar is gone before the screen is read.
    EXPECT_LT(r.indexOf("minimizeBox-"), r.indexOf("waitUntilGone"));
    EXPECT_LT(r.indexOf("waitUntilGone"), r.indexOf("capture"));
    EXPECT_FALSE(r.m().drawingOff);
    EXPECT_EQ(r.tb().btnDrawValue(), 1);
    EXPECT_EQ(r.m().savedToolbarTop, 1200);
    EXPECT_EQ(r.m().savedToolbarLeft, 4500);
    EXPECT_EQ(r.tb().framePosition(), QPoint(300, 80));
    EXPECT_TRUE(r.tb().isVisible());
    EXPECT_EQ(canvas->windowTitle(), "画面スクリーン");
    EXPECT_TRUE(canvas->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(canvas->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(canvas->geometry(), QGuiApplication::primaryScreen()->geometry());

    // The canvas shows the screen as captured, with black rounded corners.
    const QImage& img = canvas->surface().image();
    EXPECT_EQ(img.size(), QGuiApplication::primaryScreen()->geometry().size());
    EXPECT_EQ(img.pixel(100, 50), qRgb(100, 50, 0x80));
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(15, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(16, 0), qRgb(16, 0, 0x80));
    EXPECT_EQ(img.pixel(img.width() - 1, img.height() - 1), qRgb(0, 0, 0));
    // A take-back before anything is drawn keeps the desktop copy.
    canvas->Form_MouseDown(2, 0, 1500, 1500);
    EXPECT_EQ(canvas->surface().image().pixel(100, 50), qRgb(100, 50, 0x80));

    // Releasing the button leaves; the toolbar is not minimised even with Auto-Hide.
    r.desktop.calls.clear();
    r.clickDraw();
    EXPECT_EQ(r.app->screen(), nullptr);
    EXPECT_TRUE(r.m().drawingOff);
    EXPECT_EQ(r.tb().btnDrawValue(), 0);
    EXPECT_TRUE(r.desktop.minimizeBox);
    EXPECT_EQ(r.desktop.count("minimize"), 0u);
    EXPECT_GE(r.desktop.count("keepOnTop"), 1u);

    // Every entry takes a new copy.
    r.clickDraw();
    EXPECT_EQ(r.desktop.count("capture"), 1u);
    r.clickDraw();
}

TEST(DrawingMode, DoubleClickLeavesAndMinimisesOnlyWithAutoHide) {
    for (int autoHide : {0, 1}) {
        Rig r(settingsWith("True", autoHide));
        r.clickDraw();
        ASSERT_NE(r.app->screen(), nullptr);
        r.desktop.calls.clear();
        QTest::mouseDClick(r.app->screen(), Qt::LeftButton, {}, QPoint(200, 200));
        EXPECT_EQ(r.app->screen(), nullptr);
        EXPECT_TRUE(r.m().drawingOff);
        EXPECT_EQ(r.tb().btnDrawValue(), 0);
        EXPECT_TRUE(r.desktop.minimizeBox);
        EXPECT_EQ(r.desktop.count("minimize"), size_t(autoHide)) << "autoHide " << autoHide;
    }
}

TEST(DrawingMode, CountdownEndEntersOnceAndStartUpRestoresDrawingMode) {
    Rig r;
    QTest::keyClick(r.tb().text1(), Qt::Key_Space);
    for (int i = 0; i < 5; ++i) r.tb().tmrDelay3_Timer();
    ASSERT_NE(r.app->screen(), nullptr);
    EXPECT_FALSE(r.m().drawingOff);
    EXPECT_EQ(r.tb().btnDrawValue(), 1);
    EXPECT_FALSE(r.desktop.minimizeBox);
    EXPECT_EQ(r.tb().countText(), "Rdy");

    // A countdown that ends while drawing mode is already on keeps the canvas as it is.
    r.m().drawingOff = true;  // Space is only taken in normal mode: arm it from there
    QTest::keyClick(r.tb().text1(), Qt::Key_Space);
    r.m().drawingOff = false;
    frmScreen* canvas = r.app->screen();
    r.desktop.calls.clear();
    for (int i = 0; i < 5; ++i) r.tb().tmrDelay3_Timer();
    EXPECT_EQ(r.app->screen(), canvas);
    EXPECT_EQ(r.desktop.count("capture"), 0u);
    EXPECT_EQ(r.tb().countText(), "Rdy");

    Rig on(settingsWith("False", 0));
    ASSERT_NE(on.app->screen(), nullptr);
    EXPECT_FALSE(on.m().drawingOff);
    EXPECT_EQ(on.tb().btnDrawValue(), 1);
    EXPECT_FALSE(on.desktop.minimizeBox);
    EXPECT_EQ(on.m().drawPattern, 3);
    EXPECT_EQ(on.m().savedToolbarTop, 1200);
    EXPECT_EQ(on.m().savedToolbarLeft, 4500);
    // Activation keeps the minimise box away while drawing.
    on.tb().Form_Activate();
    EXPECT_FALSE(on.desktop.minimizeBox);

    // Closing the toolbar takes the canvas with it.
    on.tb().close();
    EXPECT_EQ(on.app->screen(), nullptr);
}

TEST(DrawingMode, ToggleTwiceEndsInNormalMode) {
    Rig r;
    ToggleDrawingMode(*r.app);
    EXPECT_NE(r.app->screen(), nullptr);
    EXPECT_FALSE(r.desktop.minimizeBox);
    ToggleDrawingMode(*r.app);
    EXPECT_EQ(r.app->screen(), nullptr);
    EXPECT_TRUE(r.m().drawingOff);
    EXPECT_TRUE(r.desktop.minimizeBox);
    EXPECT_EQ(r.tb().btnDrawValue(), 0);
}
