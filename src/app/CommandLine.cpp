#include "app/CommandLine.h"

#include "io/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

namespace commandline {

namespace {

// QApplication's documented options and those of its X11 platform, without their dash; the first
// take the next argument as their value. A few are also written "-name=value".
constexpr std::array<std::string_view, 16> kQtWithValue = {
    "display", "geometry", "icon", "name", "platform", "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "style", "stylesheet", "title", "visual"};
constexpr std::array<std::string_view, 6> kQtFlags = {"dograb", "nograb", "reverse", "sync", "testability",
                                                      "widgetcount"};
constexpr std::array<std::string_view, 5> kQtJoined = {"dialogs=", "fontengine=", "qmljsdebugger=", "style=",
                                                       "stylesheet="};

template <size_t N>
bool among(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

Request parse(int argc, const char* const argv[]) {
    Request r;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help") return {Action::Help, false, {}};
        if (arg == "--version") return {Action::Version, false, {}};
        if (arg == "--toggle") return {Action::Toggle, false, {}};
        if (arg == "--use-config-dir") {
            r.configFolder = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-') continue;
        const std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
        if (among(kQtWithValue, name)) {
            ++i;
            continue;
        }
        const bool joined = std::any_of(kQtJoined.begin(), kQtJoined.end(),
                                        [name](std::string_view j) { return name.starts_with(j); });
        if (arg[1] == '-' && !joined && !among(kQtFlags, name)) return {Action::Fail, false, std::string(arg)};
    }
    return r;
}

std::string usage() {
    return "Usage: slateboard [--use-config-dir] [Qt options]\n"
           "       slateboard --toggle\n"
           "Draw on top of whatever the screen shows: a small toolbar stays above every window, and the hot key\n"
           "(Ctrl+Z, or F1) freezes the screen into a canvas to draw on with the mouse. The settings are kept in\n"
           "settings.ini in the current directory.\n"
           "\n"
           "  --use-config-dir  run in $XDG_CONFIG_HOME/slateboard (~/.config/slateboard when it is not set),\n"
           "                    made if missing, so that settings.ini is kept there; the desktop menu starts\n"
           "                    Slateboard so\n"
           "  --toggle          tell the Slateboard running in this session to act as if its hot key\n"
           "                    were pressed, and exit (1 when none runs); bind it to a key in the\n"
           "                    desktop's keyboard settings where the desktop keeps the keys to itself\n"
           "                    (Wayland)\n"
           "  -h, --help        print this help and exit\n"
           "  --version         print the version and exit\n"
           "\n"
           "Qt's own options (-display, -platform, -style, ...) are passed on to Qt. See slateboard(1).\n";
}

PlatformChoice choosePlatform(const char* qpaPlatform, const char* waylandDisplay, const char* display) {
    const auto set = [](const char* v) { return v && *v; };
    if (set(qpaPlatform)) return {};
    if (set(waylandDisplay)) return {set(display) ? "wayland;xcb" : "wayland", {}};
    if (set(display)) return {"xcb", {}};
    return {{}, "no display: neither WAYLAND_DISPLAY nor DISPLAY is set; start Slateboard in a desktop session"};
}

std::string version() { return "slateboard " SLATEBOARD_VERSION "\n"; }

std::string configFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && xdgConfigHome[0] == '/') return std::string(xdgConfigHome) + "/slateboard";
    if (home && home[0]) return std::string(home) + "/.config/slateboard";
    return {};
}

std::string enterFolder(const std::string& folder) {
    if (folder.empty()) return "no configuration folder: neither XDG_CONFIG_HOME nor HOME is set";
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return "cannot make the configuration folder " + part + ": " + io::errorText(errno);
        if (end == std::string::npos) break;
    }
    if (::chdir(folder.c_str()) != 0)
        return "cannot enter the configuration folder " + folder + ": " + io::errorText(errno);
    return {};
}

}  // namespace commandline
