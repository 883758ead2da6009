// The command line: our options, Qt's left to Qt, unknown ones refused; the configuration folder.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

using commandline::Action;

TEST(CommandLine, OursQtsAndUnknownOptions) {
    struct Case { std::vector<const char*> args; Action action; bool configFolder; const char* unknown; } cases[] = {
        {{}, Action::Run, false, ""},
        {{"--use-config-dir"}, Action::Run, true, ""},
        {{"-h"}, Action::Help, false, ""}, {{"--version", "--bogus"}, Action::Version, false, ""},
        {{"--bogus", "--help"}, Action::Fail, false, "--bogus"},
        {{"--use-config-dir=yes"}, Action::Fail, false, "--use-config-dir=yes"},
        {{"-use-config-dir"}, Action::Run, false, ""},  // one dash: Qt's to take or ignore
        // Qt's options with one dash or two; the values of those that take one are never ours.
        {{"-display", ":1", "--platform", "xcb", "--title", "--help", "--use-config-dir"}, Action::Run, true, ""},
        {{"--reverse", "--style=fusion", "-qmljsdebugger=port:1234", "--nograb", "settings.ini"}, Action::Run, false, ""},
        {{"--", "--bogus"}, Action::Run, false, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"slateboard"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const commandline::Request r = commandline::parse(int(argv.size()), argv.data());
        const std::string line = c.args.empty() ? "" : c.args.front();
        EXPECT_EQ(r.action, c.action) << line;
        EXPECT_EQ(r.configFolder, c.configFolder) << line;
        EXPECT_EQ(r.unknown, c.unknown) << line;
    }
    using commandline::configFolder;
    EXPECT_EQ(configFolder("/x/cfg", "/home/u"), "/x/cfg/slateboard");
    EXPECT_EQ(configFolder("cfg", "/home/u"), "/home/u/.config/slateboard");  // not absolute: ignored
    EXPECT_EQ(configFolder("", "/home/u"), "/home/u/.config/slateboard");
    EXPECT_EQ(configFolder(nullptr, nullptr), "");
}
