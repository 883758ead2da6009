#pragma once
// What must hold for any bytes given to the settings reader; shared by the fuzz target and the
// corpus replay in the unit tests. Each check returns what went wrong, or an empty string.
#include "model/SettingsFormat.h"
#include "model/SettingsStore.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace settings_invariants {

// parse(): the line-end style (CR, LF or CR LF) and a leading byte-order mark change nothing;
// what is accepted has whole 32-bit positions and reads back the same once written, positions
// past 1E+07 within the seven digits written.
inline std::string checkParse(std::string_view bytes) {
    const std::optional<Settings> v = settingsformat::parse(bytes);
    static const std::regex anyEnd("\r\n|\r|\n");
    for (const char* end : {"\r\n", "\n", "\r"})
        if (settingsformat::parse(std::regex_replace(std::string(bytes), anyEnd, end)) != v) return "line ends changed it";
    if (bytes.substr(0, 3) != "\xEF\xBB\xBF" && settingsformat::parse("\xEF\xBB\xBF" + std::string(bytes)) != v)
        return "a byte-order mark changed it";
    if (!v) return {};
    const std::string written = settingsformat::format(*v);
    const std::optional<Settings> back = settingsformat::parse(written);
    if (!back) return "does not read back: " + written;
    for (auto [was, is] : {std::pair{v->top, back->top}, {v->left, back->left}})
        if (std::nearbyint(was) != was || std::fabs(was) > 0x1p31f ||
            std::fabs(double(is) - was) > (std::fabs(was) < 1e7f ? 0 : 1e-6 * std::fabs(was)))
            return "position off: " + written;
    Settings same = *back;
    same.top = v->top, same.left = v->left;
    if (same != *v || settingsformat::format(*back) != written) return "read back differently: " + written;
    return {};
}

// load() of a file of these bytes (at most 64 KiB): what parse() reads, the file untouched; or,
// when parse() refuses them, the defaults, written to the file.
inline std::string checkLoad(std::string_view bytes, const std::string& path) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
    const settingsstore::LoadResult r = settingsstore::load(path);
    std::ifstream in(path, std::ios::binary);
    const std::string after{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::optional<Settings> v = settingsformat::parse(bytes);
    if (!r.error.empty()) return r.error;
    if (v ? !r.fromFile || r.settings != *v || after != bytes
          : r.fromFile || r.settings != Settings{} || after != settingsformat::format({}))
        return "load does not give what parse gives, or the defaults written";
    return {};
}

}  // namespace settings_invariants
