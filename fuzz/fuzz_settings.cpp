// libFuzzer target for the settings.ini reader. Built and run by scripts/fuzz.
// Every input goes through parse(); every 64th one also through load() on a file in a
// private temporary folder (load writes the defaults back, which is slow to do each time).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "settings_invariants.h"

namespace {

std::string g_dir;
uint64_t g_count = 0;

void removeDir() {
    if (g_dir.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
}

void fail(std::string_view input, const std::string& what) {
    std::fprintf(stderr, "settings invariant broken: %s\n  input (%zu bytes)\n", what.c_str(), input.size());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz_settings.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("fuzz_settings: mkdtemp");
        std::exit(1);
    }
    g_dir = pattern;
    std::atexit(removeDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (std::string what = settings_invariants::checkParse(input); !what.empty()) fail(input, what);
    if (g_count++ % 64 == 0 && size <= settings_invariants::kLoadLimit) {
        if (std::string what = settings_invariants::checkLoad(input, g_dir + "/settings.ini"); !what.empty())
            fail(input, what);
    }
    return 0;
}
