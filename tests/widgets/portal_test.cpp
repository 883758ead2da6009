// The Wayland backend against a desktop portal of the test's making on a private bus: the picture
// read and its file deleted, a refusal, a failure, silence and a missing portal told; the hot key
// registered with the desktop and its activation heard.
#include "platform/wayland/PortalGlobalShortcut.h"
#include "platform/wayland/PortalScreenCapture.h"
#include "support/FakePortal.h"
#include "support/Rig.h"

#include <QDeadlineTimer>
#include <QSignalSpy>

using platform::wayland::PortalGlobalShortcut;
using platform::wayland::PortalScreenCapture;

TEST(PortalCapture, ThePictureItsFileAndEveryWayWithout) {
    ensureApplication();
    PrivateBus bus;
    ASSERT_TRUE(bus.up());
    QTemporaryDir dir;
    QImage desktop(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) desktop.setPixel(x, y, qRgb(x * 4, y * 5, (x + y) & 1 ? 255 : 0));
    const QRect all(0, 0, 64, 48), part(16, 8, 32, 24);
    struct Case { const char* what; bool portal, answers; uint response; QRect area; int timeoutMs; QString failure; } cases[] = {
        {"answered", true, true, 0, all, 5000, ""},
        {"one output's part of the picture", true, true, 0, part, 5000, ""},
        {"refused by the user", true, true, 1, all, 5000, "the desktop did not allow the screenshot"},
        {"failed", true, true, 2, all, 5000, "the desktop's screenshot portal failed"},
        {"silent", true, false, 0, all, 300, "the screenshot portal did not answer within 0.3 s"},
        {"no portal", false, true, 0, all, 5000, "the desktop offers no screenshot portal"},
    };
    int n = 0;
    for (const Case& c : cases) {
        PortalScript script;
        script.screenshotResponse = c.response;
        script.screenshotAnswers = c.answers;
        script.pictureFile = dir.filePath(QStringLiteral("out%1.png").arg(n));
        ASSERT_TRUE(desktop.save(script.pictureFile));
        std::optional<FakePortal> portal;
        if (c.portal) portal.emplace(bus, script, true, false);
        PortalScreenCapture capture(bus.connect(QStringLiteral("capture%1").arg(n++)), c.timeoutMs);
        const QImage got = capture.grab(c.area);
        EXPECT_EQ(capture.failure().left(c.failure.size()), c.failure) << c.what;
        EXPECT_EQ(capture.failure().isEmpty(), c.failure.isEmpty()) << c.what << ": " << capture.failure().toStdString();
        if (c.failure.isEmpty()) {
            EXPECT_EQ(got, desktop.copy(c.area)) << c.what;
            EXPECT_FALSE(QFile::exists(script.pictureFile)) << c.what << ": the copy of the screen is left on disk";
        } else {
            EXPECT_TRUE(got.isNull()) << c.what;
        }
    }
}

static bool waitFor(const std::function<bool()>& condition) {
    QDeadlineTimer limit(5000);
    while (!condition() && !limit.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

TEST(PortalShortcut, RegisteredWithTheDesktopAndHeardWhenItFires) {
    ensureApplication();
    PrivateBus bus;
    ASSERT_TRUE(bus.up());
    int n = 0;
    for (const bool sessionAsPath : {false, true}) {
        PortalScript script;
        script.sessionAsPath = sessionAsPath;
        FakePortal portal(bus, script, false, true);
        const QString client = QStringLiteral("shortcut%1").arg(n++);
        PortalGlobalShortcut shortcut(bus.connect(client));
        EXPECT_TRUE(shortcut.portalOffered());
        EXPECT_TRUE(shortcut.set(Qt::CTRL | Qt::Key_Z));
        ASSERT_TRUE(waitFor([&] { std::lock_guard<std::mutex> l(script.lock); return !script.bound.isEmpty(); }))
            << "session handle as a path: " << sessionAsPath;
        QString session;
        {
            std::lock_guard<std::mutex> l(script.lock);
            ASSERT_EQ(script.bound.size(), 1);
            EXPECT_EQ(script.bound[0].id, "toggle-drawing-mode");
            EXPECT_EQ(script.bound[0].properties.value("preferred_trigger").toString(), "CTRL+z");
            session = script.session;
        }
        QSignalSpy pressed(&shortcut, &platform::GlobalShortcut::activated);
        // Another shortcut, or another application's session, is not ours.
        portal.activate(session, "another-one");
        portal.activate("/org/freedesktop/portal/desktop/session/1_99/other", "toggle-drawing-mode");
        portal.activate(session, "toggle-drawing-mode");
        EXPECT_TRUE(waitFor([&] { return pressed.count() >= 1; }));
        // A call answered after the signals were sent: they have all come in once it returns.
        QDBusMessage ping = QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                                           "org.freedesktop.DBus.Peer", "Ping");
        bus.connect(client).call(ping);
        QCoreApplication::processEvents();
        EXPECT_EQ(pressed.count(), 1);
        EXPECT_TRUE(shortcut.way(Qt::CTRL | Qt::Key_Z).contains("registered with the desktop's global shortcuts"));
    }
}

TEST(PortalShortcut, WithoutTheInterfaceTheDesktopsOwnShortcutRunsToggle) {
    ensureApplication();
    PrivateBus bus;
    ASSERT_TRUE(bus.up());
    PortalScript script;
    FakePortal portal(bus, script, true, false);  // a portal with a screenshot only, as wlroots' is
    PortalGlobalShortcut shortcut(bus.connect(QStringLiteral("no-shortcuts")));
    EXPECT_FALSE(shortcut.portalOffered());
    EXPECT_TRUE(shortcut.set(QKeyCombination(Qt::Key_F1)));  // nothing to hold: the desktop runs slateboard --toggle
    EXPECT_TRUE(shortcut.way(QKeyCombination(Qt::Key_F1)).contains("bind F1 to the command slateboard --toggle"));
}
