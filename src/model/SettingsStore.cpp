#include "model/SettingsStore.h"

#include "io/AtomicFile.h"
#include "model/SettingsFormat.h"

namespace settingsstore {

namespace {
// The nine lines are a few bytes each; nothing past this much of the file is looked at.
constexpr size_t kReadLimit = 64 * 1024;
}  // namespace

std::string save(const std::string& path, const Settings& s) {
    try {
        const int err = io::writeAtomically(path, settingsformat::format(s));
        if (err == 0) return {};
        return "Cannot save settings to " + io::absolutePath(path) + ": " + io::errorText(err);
    } catch (...) {
        return "Cannot save settings: out of memory";
    }
}

LoadResult load(const std::string& path) {
    LoadResult result;
    io::removeStaleTemporaries(path);
    try {
        bool complete = true;
        if (std::optional<std::string> bytes = io::readBounded(path, kReadLimit, complete)) {
            // Only lines that end inside what was read count: a line cut short might read as
            // another number.
            if (!complete) bytes->resize(bytes->find_last_of("\r\n") + 1);
            if (auto values = settingsformat::parse(*bytes)) {
                result.settings = *values;
                result.fromFile = true;
                return result;
            }
        }
        result.error = save(path, result.settings);
    } catch (...) {
        result = {};
        result.error = "Cannot load settings: out of memory";
    }
    return result;
}

}  // namespace settingsstore
