#include "app/Application.h"
#include "app/CommandLine.h"
#include "model/SettingsStore.h"
#include "platform/Platform.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt's own messages (a lost X connection, a missing platform plugin) name the program.
void prefixMessages(QtMsgType, const QMessageLogContext&, const QString& text) {
    std::fprintf(stderr, "slateboard: %s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything needs a display: --help and --version work without one.
    const commandline::Request request = commandline::parse(argc, argv);
    switch (request.action) {
    case commandline::Action::Help: return std::fputs(commandline::usage().c_str(), stdout) < 0;
    case commandline::Action::Version: return std::fputs(commandline::version().c_str(), stdout) < 0;
    case commandline::Action::Fail:
        std::fprintf(stderr, "slateboard: unknown option '%s'\nTry 'slateboard --help' for more information.\n",
                     request.unknown.c_str());
        return 2;
    case commandline::Action::Run: break;
    }
    // Started from the desktop menu the current directory is the home folder, which is no place
    // for settings.ini.
    if (request.configFolder) {
        const std::string error = commandline::enterFolder(
            commandline::configFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
        if (!error.empty()) {
            std::fprintf(stderr, "slateboard: %s\n", error.c_str());
            return 1;
        }
    }
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
    // Every pointer move is drawn: a free-hand stroke follows each one, however fast the hand.
    // (Qt joins moves that come quicker than it handles them, on X11 by default.)
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Slateboard"));
    QApplication::setApplicationVersion(QStringLiteral(SLATEBOARD_VERSION));

    platform::Platform platform = platform::createPlatform();
    Application app(platform, settingsstore::kFileName);
    if (!app.start()) return 0;  // another instance runs: end silently
    return qapp.exec();
}
