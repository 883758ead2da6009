// The settings reader's fuzz corpus replayed with the invariants the fuzz target checks.
#include "settings_invariants.h"
#include "support/Rig.h"

#include <filesystem>

TEST(SettingsCorpus, EveryInputKeepsTheInvariants) {
    TempDir d;
    size_t inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SETTINGS_CORPUS_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(settings_invariants::checkParse(bytes), "") << entry.path();
        EXPECT_EQ(settings_invariants::checkLoad(bytes, d.path()), "") << entry.path();
        ++inputs;
    }
    EXPECT_GT(inputs, 100u);
    // A file far larger than anything written: the nine lines at its start still count, and
    // nothing past 64 KiB is read.
    d.write(kDefaultBytes.substr(0, kDefaultBytes.size() - 5) + " 1 \r\n" + std::string(10 << 20, 'x'));
    EXPECT_EQ(settingsstore::load(d.path()).settings.hotKeyChoice, 1);
}
