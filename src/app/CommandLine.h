#pragma once
#include <string>

// The command line, read before any window or display is opened.
namespace commandline {

enum class Action { Run, Help, Version, Toggle, Fail };

struct Request {
    Action action = Action::Run;
    bool configFolder = false;  // run in the user's configuration folder, as the desktop menu starts it
    std::string unknown;        // the option that made it fail
};

// Our options are --use-config-dir, --toggle, -h/--help and --version. Qt's own (-display, -platform, ...,
// with one dash or two) and anything not starting with a dash are left to QApplication, and so
// is an unknown option with a single dash, which may belong to one of Qt's platform plugins.
// Only an option with two dashes that neither we nor Qt take fails. "--" ends the options.
Request parse(int argc, const char* const argv[]);

// The Qt platform to ask for, from the environment's QT_QPA_PLATFORM, WAYLAND_DISPLAY and DISPLAY
// (null: unset): native Wayland in a Wayland session (X11 through XWayland where Qt lacks its
// Wayland plugin), X11 in an X11 session; QT_QPA_PLATFORM, when set, is left to choose. Empty
// `platform`: nothing is set; empty both: there is no display at all, and `error` says so.
struct PlatformChoice {
    std::string platform;
    std::string error;
};
PlatformChoice choosePlatform(const char* qpaPlatform, const char* waylandDisplay, const char* display);

// What --help and --version print.
std::string usage();
std::string version();

// $XDG_CONFIG_HOME/slateboard, or ~/.config/slateboard when that is unset, empty or not absolute;
// empty when there is no home either.
std::string configFolder(const char* xdgConfigHome, const char* home);

// Makes the folder, and any missing folder above it, private to the user (mode 700), and makes
// it the current directory. An empty string, or why it could not.
std::string enterFolder(const std::string& folder);

}  // namespace commandline
