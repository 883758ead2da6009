// libFuzzer target for the settings.ini reader, built and run by scripts/fuzz. Every input goes
// through parse(); every 64th also through load(), on a file in a private folder.
#include "settings_invariants.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz_settings.XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        std::atexit([] { std::filesystem::remove_all(dir); });
        return pattern;
    }();
    static uint64_t count = 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string what = settings_invariants::checkParse(input);
    if (what.empty() && count++ % 64 == 0 && size <= 64 * 1024) what = settings_invariants::checkLoad(input, dir + "/settings.ini");
    if (what.empty()) return 0;
    std::fprintf(stderr, "settings invariant broken: %s\n", what.c_str());
    std::abort();
}
