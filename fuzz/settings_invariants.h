#pragma once
// What must hold for any bytes given to the settings reader. Shared by the fuzz target
// (fuzz/fuzz_settings.cpp) and the corpus replay in the unit tests, so both check the same.
// Each check returns an empty string when everything holds, else what went wrong.

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "settings/SettingsFile.h"

namespace settings_invariants {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// load() looks at no more than this much of a file; checkLoad is only meant for inputs up to it.
inline constexpr size_t kLoadLimit = 64 * 1024;

inline std::string describe(const settings::Values& v) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "{%d, %d, %d, %d, %s, %.9g, %.9g, %d, %d}", v.lineColor, v.lineWidth,
                  v.fillColor, v.pattern, v.drawingOff ? "True" : "False", double(v.top), double(v.left),
                  v.autoHide, v.hotKeyChoice);
    return buf;
}

inline std::string describe(const std::optional<settings::Values>& v) {
    return v ? describe(*v) : std::string("nullopt");
}

// Every line end (CR, LF or CR LF) replaced by `end`.
inline std::string withLineEnds(std::string_view bytes, std::string_view end) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            out += end;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

// A toolbar position read back from its written form: exact below 1E+07 (the written form
// has seven significant digits), else within that rounding.
inline bool positionReadBack(float original, float back) {
    if (std::fabs(original) < 1e7f) return back == original;
    return std::fabs(double(back) - double(original)) <= 1e-6 * std::fabs(double(original));
}

// parse() alone: accepted values are in range and survive being written and read again;
// the line-end style and a leading UTF-8 byte-order mark make no difference.
inline std::string checkParse(std::string_view bytes) {
    const std::optional<settings::Values> v = settings::parse(bytes);

    for (std::string_view end : {std::string_view("\r\n"), std::string_view("\n"), std::string_view("\r")}) {
        const auto other = settings::parse(withLineEnds(bytes, end));
        if (other != v)
            return "line ends changed to " + std::string(end == "\r\n" ? "CR LF" : end == "\n" ? "LF" : "CR") +
                   " read " + describe(other) + " instead of " + describe(v);
    }
    if (bytes.substr(0, kUtf8Bom.size()) != kUtf8Bom) {
        const auto withBom = settings::parse(std::string(kUtf8Bom) + std::string(bytes));
        if (withBom != v) return "a leading byte-order mark read " + describe(withBom) + " instead of " + describe(v);
    }

    if (!v) return {};

    if (v->pattern < 0 || v->pattern > 255) return "pattern out of 0..255: " + describe(*v);
    for (float pos : {v->top, v->left}) {
        if (!std::isfinite(pos) || std::nearbyint(pos) != pos || pos < -0x1p31f || pos > 0x1p31f)
            return "position not a whole number in the 32-bit range: " + describe(*v);
    }

    const std::string written = settings::format(*v);
    const auto back = settings::parse(written);
    if (!back) return "the written form of " + describe(*v) + " does not read back: \"" + written + "\"";
    settings::Values expected = *v;
    expected.top = back->top;
    expected.left = back->left;
    if (*back != expected || !positionReadBack(v->top, back->top) || !positionReadBack(v->left, back->left))
        return "wrote " + describe(*v) + ", read back " + describe(*back);
    if (settings::format(*back) != written)
        return "writing the values read back changes the file: \"" + written + "\" then \"" +
               settings::format(*back) + "\"";
    return {};
}

inline bool writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out.flush());
}

inline std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// load() on a file holding `bytes` (at most kLoadLimit of them), at `path` in a writable folder:
// the values parse() reads, with the file left alone; or, when parse() refuses the bytes,
// the defaults, written to the file.
inline std::string checkLoad(std::string_view bytes, const std::string& path) {
    if (bytes.size() > kLoadLimit) return "checkLoad is for inputs up to 64 KiB";
    if (!writeFile(path, bytes)) return "cannot write " + path;
    const settings::LoadResult r = settings::load(path);
    const auto after = readFile(path);
    if (!after) return "the file is gone after load";

    if (const auto v = settings::parse(bytes)) {
        if (!r.fromFile || r.values != *v || r.defaultsWritten || !r.error.empty())
            return "load gave " + describe(r.values) + (r.fromFile ? " from the file" : " not from the file") +
                   (r.defaultsWritten ? ", defaults written" : "") + " where parse gave " + describe(*v) +
                   (r.error.empty() ? "" : "; " + r.error);
        if (*after != bytes) return "load changed a file it read";
        return {};
    }
    if (r.fromFile || r.values != settings::Values{} || !r.defaultsWritten || !r.error.empty())
        return "load of refused bytes gave " + describe(r.values) + (r.fromFile ? " from the file" : "") +
               (r.defaultsWritten ? "" : ", defaults not written") + (r.error.empty() ? "" : "; " + r.error);
    if (*after != settings::format(settings::Values{}))
        return "the file after load is \"" + *after + "\", not the default file";
    return {};
}

}  // namespace settings_invariants
