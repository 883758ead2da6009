// The command line: ours, Qt's left to Qt, unknown ones refused; the configuration folder.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CommandLine, OursQtsAndUnknownOptions) {
    using A = commandline::Action;
    struct Case { std::vector<const char*> args; A action; bool configFolder; const char* unknown; } cases[] = {
        {{"--use-config-dir"}, A::Run, true, ""}, {{"-h"}, A::Help, false, ""},
        {{"--version", "--bogus"}, A::Version, false, ""}, {{"--bogus", "--help"}, A::Fail, false, "--bogus"},
        {{"--use-config-dir=1"}, A::Fail, false, "--use-config-dir=1"}, {{"--", "--bogus"}, A::Run, false, ""},
        {{"-use-config-dir"}, A::Run, false, ""},  // one dash: Qt's to take or ignore
        // Qt's options with one dash or two; the value of one that takes a value is never ours.
        {{"-display", ":1", "--title", "--help", "--use-config-dir"}, A::Run, true, ""},
        {{"--reverse", "--style=fusion", "-qmljsdebugger=port:1", "--nograb", "settings.ini"}, A::Run, false, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"slateboard"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const commandline::Request r = commandline::parse(int(argv.size()), argv.data());
        EXPECT_TRUE(r.action == c.action && r.configFolder == c.configFolder && r.unknown == c.unknown) << c.args[0];
    }
    EXPECT_EQ(commandline::configFolder("/x/cfg", "/home/u"), "/x/cfg/slateboard");
    EXPECT_EQ(commandline::configFolder("cfg", "/home/u"), "/home/u/.config/slateboard");  // not absolute
    EXPECT_EQ(commandline::configFolder(nullptr, nullptr), "");
}

TEST(CommandLine, ToggleAsksTheRunningInstanceWhateverFollows) {
    using A = commandline::Action;
    struct Case { std::vector<const char*> args; A action; } cases[] = {
        {{"--toggle"}, A::Toggle}, {{"--use-config-dir", "--toggle"}, A::Toggle}, {{"--toggle", "--bogus"}, A::Toggle},
        {{"--bogus", "--toggle"}, A::Fail}, {{"-display", "--toggle"}, A::Run},  // the display's name
        {{"--", "--toggle"}, A::Run}, {{"--toggle=1"}, A::Fail}, {{"--help", "--toggle"}, A::Help},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"slateboard"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(commandline::parse(int(argv.size()), argv.data()).action, c.action) << c.args[0] << " " << c.args.size();
    }
}

TEST(CommandLine, ThePlatformFollowsTheSession) {
    const char* none = nullptr;
    struct Case { const char *qpa, *wayland, *x11; const char* platform; bool error; } cases[] = {
        {none, "wayland-1", ":0", "wayland;xcb", false},  // XWayland beside: taken where Qt lacks its Wayland plugin
        {none, "wayland-1", none, "wayland", false},      {none, none, ":0", "xcb", false},
        {"xcb", "wayland-1", ":0", "", false},            {"offscreen", none, none, "", false},
        {"", "", ":1", "xcb", false},                     {none, "", "", "", true},
        {none, none, none, "", true},
    };
    for (const Case& c : cases) {
        const commandline::PlatformChoice choice = commandline::choosePlatform(c.qpa, c.wayland, c.x11);
        EXPECT_EQ(choice.platform, c.platform) << (c.qpa ? c.qpa : "-") << (c.wayland ? c.wayland : "-") << (c.x11 ? c.x11 : "-");
        EXPECT_EQ(choice.error.empty(), !c.error);
    }
}
