// What the platform layer decides without a desktop.
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

TEST(SingleInstance, NamesOfOneDisplayShareAnInstance) {
    const std::pair<const char*, const char*> cases[] = {
        {":0", ":0.0"},  {":0.0", ":0.0"},  {"unix:0", ":0.0"},  {"unix/:0.0", ":0.0"},  {":00", ":0.0"},
        {":0.1", ":0.1"},  {":10", ":10.0"},  {"localhost:0", "localhost:0.0"},  {"LocalHost:0.0", "localhost:0.0"},
        {"tcp/localhost:0", "localhost:0.0"},  {"tcp/:0", "localhost:0.0"},  {"host.example:1.2", "host.example:1.2"},
        {"[::1]:0", "[::1]:0.0"},  {"host::0", "host::0"},  {":0.x", ":0.x"},  {":", ":"},  {"", ""},
        {"/tmp/launch-x/org.xquartz:0", "/tmp/launch-x/org.xquartz:0"},
    };
    for (const auto& [name, key] : cases) EXPECT_EQ(platform::displayKey(name), key) << name;
    EXPECT_EQ(platform::instanceName("p", ":1"), platform::instanceName("p", "unix:1.0"));
    EXPECT_NE(platform::instanceName("p", ":1"), platform::instanceName("p", ":1.1"));
}
