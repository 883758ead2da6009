#pragma once
// What must hold for any bytes given to the settings reader; shared by the fuzz target and the
// corpus replay in the unit tests. Each check returns what went wrong, or an empty string.
#include "model/SettingsFormat.h"
#include "model/SettingsStore.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

namespace settings_invariants {

inline std::string describe(const std::optional<Settings>& v) {
    return v ? settingsformat::format(*v) : std::string("nothing");
}

// Every line end (CR, LF or CR LF) replaced by `end`.
inline std::string withLineEnds(std::string_view bytes, std::string_view end) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            out += bytes[i];
            continue;
        }
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        out += end;
    }
    return out;
}

// parse(): the line-end style and a leading byte-order mark change nothing; what is accepted is
// in range and reads back the same once written (positions past 1E+07 within the 7 digits written).
inline std::string checkParse(std::string_view bytes) {
    const std::optional<Settings> v = settingsformat::parse(bytes);
    for (std::string_view end : {"\r\n", "\n", "\r"})
        if (settingsformat::parse(withLineEnds(bytes, end)) != v) return "line ends changed what was read";
    if (bytes.substr(0, 3) != "\xEF\xBB\xBF" && settingsformat::parse("\xEF\xBB\xBF" + std::string(bytes)) != v)
        return "a byte-order mark changed what was read";
    if (!v) return {};
    for (float pos : {v->top, v->left})
        if (!std::isfinite(pos) || std::nearbyint(pos) != pos || std::fabs(pos) > 0x1p31f) return "bad position " + describe(v);
    const std::string written = settingsformat::format(*v);
    const std::optional<Settings> back = settingsformat::parse(written);
    if (!back) return "does not read back: " + written;
    for (auto [was, is] : {std::pair{v->top, back->top}, {v->left, back->left}})
        if (std::fabs(double(is) - was) > (std::fabs(was) < 1e7f ? 0 : 1e-6 * std::fabs(was))) return "moved: " + written;
    Settings same = *back;
    same.top = v->top, same.left = v->left;
    if (same != *v || settingsformat::format(*back) != written) return "read back differently: " + written;
    return {};
}

// load() of a file holding `bytes` (at most 64 KiB): what parse() reads, the file untouched; or,
// when parse() refuses them, the defaults, written to the file.
inline std::string checkLoad(std::string_view bytes, const std::string& path) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
    const settingsstore::LoadResult r = settingsstore::load(path);
    std::ifstream in(path, std::ios::binary);
    const std::string after{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::optional<Settings> v = settingsformat::parse(bytes);
    if (!r.error.empty()) return r.error;
    if (v && (!r.fromFile || r.settings != *v || after != bytes)) return "load differs from parse, or changed the file";
    if (!v && (r.fromFile || r.settings != Settings{} || after != settingsformat::format({})))
        return "refused bytes did not give the defaults, written";
    return {};
}

}  // namespace settings_invariants
