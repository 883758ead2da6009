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

// The hot key pressed by proxy: the desktop runs slateboard --toggle where it keeps the keys to
// itself (Wayland).
int toggleRunningInstance() {
    using D = platform::SingleInstance::Delivery;
    bool failed = false;
    for (const std::string& name : platform::sessionInstanceNames("slateboard")) {
        const D d = platform::SingleInstance::send(name, "toggle");
        if (d == D::Delivered) return 0;
        failed = failed || d == D::Failed;
    }
    std::fprintf(stderr, failed ? "slateboard: the running Slateboard did not answer\n"
                                : "slateboard: no Slateboard is running in this session\n");
    return 1;
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
    case commandline::Action::Toggle: return toggleRunningInstance();
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
    const commandline::PlatformChoice choice = commandline::choosePlatform(
        std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
    if (!choice.error.empty()) {
        std::fprintf(stderr, "slateboard: %s\n", choice.error.c_str());
        return 1;
    }
    if (!choice.platform.empty()) qputenv("QT_QPA_PLATFORM", choice.platform.c_str());
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
