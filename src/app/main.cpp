#include "app/Application.h"
#include "model/SettingsStore.h"
#include "platform/Platform.h"

#include <QApplication>

#include <cstdio>

namespace {

// Qt's own messages (a lost X connection, a missing platform plugin) name the program.
void prefixMessages(QtMsgType, const QMessageLogContext&, const QString& text) {
    std::fprintf(stderr, "slateboard: %s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(prefixMessages);
    // Slateboard reads the screen and grabs keys through X11; under Wayland it runs on XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            std::fprintf(stderr, "slateboard: no X display (DISPLAY is not set); Slateboard needs an X11 session%s\n",
                         qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "" : " or XWayland");
            return 1;
        }
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            std::fprintf(stderr,
                         "slateboard: running on XWayland: windows of other Wayland applications may be missing "
                         "from the capture, and the hot key only works while an X11 window has the focus\n");
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Slateboard"));
    QApplication::setApplicationVersion(QStringLiteral(SLATEBOARD_VERSION));

    platform::Platform platform = platform::createPlatform();
    Application app(platform, settingsstore::kFileName);
    if (!app.start()) return 0;  // another instance runs: end silently
    return qapp.exec();
}
