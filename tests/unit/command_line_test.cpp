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
