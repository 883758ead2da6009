// What the Wayland backend makes of the desktop portal's answers, and the names it gives keys and
// displays, without a desktop.
#include "platform/SingleInstance.h"
#include "platform/wayland/PortalAnswers.h"
#include "platform/wayland/ShortcutTrigger.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform::wayland;

TEST(Portal, RequestPathsFromTheCallersBusName) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {":1.42", "slateboard1", "/org/freedesktop/portal/desktop/request/1_42/slateboard1"},
        {":1.4.2", "t", "/org/freedesktop/portal/desktop/request/1_4_2/t"},
        {"org.example.App", "x", "/org/freedesktop/portal/desktop/request/org_example_App/x"},
    };
    for (const auto& [name, token, path] : cases) EXPECT_EQ(requestPath(name, token), path) << name;
}

TEST(Portal, ScreenshotAnswers) {
    const QVariantMap file{{"uri", "file:///tmp/out.png"}}, spaced{{"uri", "file:///tmp/a%20b.png"}};
    struct Case { uint response; QVariantMap results; QString file, errorStart; } cases[] = {
        {0, file, "/tmp/out.png", ""},
        {0, spaced, "/tmp/a b.png", ""},
        {0, {{"uri", "https://example.org/out.png"}}, "", "the screenshot portal gave no local file"},
        {0, {}, "", "the screenshot portal gave no local file"},
        {1, file, "", "the desktop did not allow the screenshot"},  // refused: the file is not taken
        {2, file, "", "the desktop's screenshot portal failed"},
        {7, {}, "", "the desktop's screenshot portal failed"},
    };
    for (const Case& c : cases) {
        const ScreenshotAnswer a = screenshotAnswer(c.response, c.results);
        EXPECT_EQ(a.file, c.file) << c.response;
        EXPECT_TRUE(c.errorStart.isEmpty() ? a.error.isEmpty() : a.error.startsWith(c.errorStart)) << a.error.toStdString();
    }
}

TEST(Portal, CallErrorsSayWhatIsMissing) {
    const std::pair<const char*, const char*> cases[] = {
        {"org.freedesktop.DBus.Error.ServiceUnknown", "the desktop offers no screenshot portal"},
        {"org.freedesktop.DBus.Error.UnknownMethod", "the desktop offers no screenshot portal"},
        {"org.freedesktop.DBus.Error.UnknownInterface", "the desktop offers no screenshot portal"},
        {"org.freedesktop.DBus.Error.NoReply", "the screenshot portal did not answer"},
        {"org.freedesktop.portal.Error.NotAllowed", "the screenshot portal refused: not now"},
    };
    for (const auto& [name, start] : cases)
        EXPECT_TRUE(callError(name, "not now").startsWith(start)) << callError(name, "not now").toStdString();
    EXPECT_EQ(callError("org.example.Error", ""), "the screenshot portal refused: org.example.Error");
}

TEST(Portal, ThePictureIsReadAndItsFileDeleted) {
    QTemporaryDir dir;
    const QString png = dir.filePath("out.png"), text = dir.filePath("out.txt"), gone = dir.filePath("gone.png");
    QImage written(4, 3, QImage::Format_ARGB32);
    written.fill(qRgb(10, 20, 30));
    written.setPixel(3, 2, qRgb(200, 100, 0));
    ASSERT_TRUE(written.save(png));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("no picture") > 0);
    f.close();

    QString error;
    const QImage read = takePicture(png, error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(read.format(), QImage::Format_RGB32);
    EXPECT_EQ(read.size(), QSize(4, 3));
    EXPECT_EQ(read.pixel(3, 2), qRgb(200, 100, 0));
    EXPECT_EQ(read.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_FALSE(QFile::exists(png));
    for (const QString& file : {text, gone}) {
        error.clear();
        EXPECT_TRUE(takePicture(file, error).isNull());
        EXPECT_EQ(error, "the screenshot portal's file " + file + " could not be read");
        EXPECT_FALSE(QFile::exists(file));  // not a picture: deleted all the same
    }
}

TEST(Portal, ShortcutTriggersInTheDesktopsNotation) {
    const std::pair<QKeyCombination, const char*> cases[] = {
        {Qt::CTRL | Qt::Key_Z, "CTRL+z"},  {QKeyCombination(Qt::Key_F1), "F1"},  {Qt::CTRL | Qt::SHIFT | Qt::Key_F12, "CTRL+SHIFT+F12"},
        {Qt::ALT | Qt::META | Qt::Key_5, "ALT+LOGO+5"},  {QKeyCombination(Qt::Key_A), "a"},  {Qt::CTRL | Qt::Key_Space, ""},
    };
    for (const auto& [key, trigger] : cases) EXPECT_EQ(shortcutTrigger(key), trigger) << trigger;
}

TEST(SingleInstance, WaylandDisplaysByTheirSocket) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"wayland-1", "/run/user/1000", "/run/user/1000/wayland-1"},
        {"", "/run/user/1000", "/run/user/1000/wayland-0"},
        {"/tmp/compositor.sock", "/run/user/1000", "/tmp/compositor.sock"},
    };
    for (const auto& [name, runtime, key] : cases) EXPECT_EQ(platform::waylandDisplayKey(name, runtime), key) << name;
    // Another session's compositor, or an X display of the same number, is another instance.
    EXPECT_NE(platform::instanceName("p", platform::waylandDisplayKey("wayland-1", "/run/user/1000")),
              platform::instanceName("p", platform::waylandDisplayKey("wayland-2", "/run/user/1000")));
    EXPECT_NE(platform::instanceName("p", platform::waylandDisplayKey("wayland-1", "/r")), platform::instanceName("p", ":1"));
}
