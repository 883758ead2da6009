#include "model/SettingsFormat.h"

#include "geometry/Twips.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace settingsformat {

namespace {

constexpr size_t kLineCount = 9;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A decimal number: optional sign, digits with an optional point and fraction, an optional
// exponent, and nothing else. Never depends on the locale. A value too small for a double stays
// non-zero (it still reads as True); one too large is refused.
std::optional<double> parseDecimal(std::string_view s) {
    size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const size_t mantissa = i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    const size_t intEnd = i;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i) ++digits;
    if (digits == 0) return std::nullopt;
    const size_t mantissaEnd = i;
    bool expNegative = false;
    long long exponent = 0;  // saturated: it only tells underflow from overflow
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        expNegative = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        const size_t expStart = i;
        for (; i < s.size() && isDigit(s[i]); ++i)
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[i] - '0');
        if (i == expStart) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;

    // from_chars takes no leading '+'.
    std::string text = negative ? "-" : "";
    text.append(s.substr(mantissa));
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (r.ptr != text.data() + text.size()) return std::nullopt;
    if (r.ec == std::errc::result_out_of_range) {
        // The place of the leading significant digit tells a huge value from a tiny one.
        std::string_view whole = s.substr(mantissa, intEnd - mantissa);
        while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
        long long magnitude = static_cast<long long>(whole.size());
        if (whole.empty()) {
            std::string_view fraction = s.substr(intEnd, mantissaEnd - intEnd);
            if (!fraction.empty()) fraction.remove_prefix(1);  // the point
            const size_t zeros = std::min(fraction.find_first_not_of('0'), fraction.size());
            magnitude = -static_cast<long long>(zeros);
        }
        magnitude += expNegative ? -exponent : exponent;
        if (magnitude > 0) return std::nullopt;
        const double tiny = std::numeric_limits<double>::denorm_min();
        return negative ? -tiny : tiny;
    }
    if (r.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Up to `max` lines. A line ends at CR, at LF, or at CR LF taken together; text after the last
// line end is a line of its own.
std::vector<std::string_view> splitLines(std::string_view bytes, size_t max) {
    std::vector<std::string_view> lines;
    size_t start = 0, i = 0;
    while (i < bytes.size() && lines.size() < max) {
        const char c = bytes[i++];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(bytes.substr(start, i - 1 - start));
        if (c == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
        start = i;
    }
    if (lines.size() < max && start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

// Seven significant digits turn anything from 2147483500 up into 2.147484E+09, past the 32-bit
// range the reader takes, so a position is written no further out than 2.147483E+09.
std::string formatPosition(float v) {
    constexpr double kLimit = 2147483000.0;
    return formatNumber(std::clamp(std::isnan(v) ? 0.0 : double(v), -kLimit, kLimit));
}

}  // namespace

std::string formatNumber(double v) {
    if (std::isnan(v)) v = 0;
    if (std::isinf(v)) v = v > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
    if (v == 0) v = 0;  // no "-0"
    char buf[64];
    // Seven significant digits, trailing zeros dropped, '.' whatever the locale.
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7);
    std::string digits(buf, r.ptr);
    std::replace(digits.begin(), digits.end(), 'e', 'E');
    return (digits.front() == '-' ? "" : " ") + digits + " ";
}

std::string format(const Settings& s) {
    std::string out;
    for (const std::string& line :
         {formatNumber(s.lineColour), formatNumber(s.lineWidth), formatNumber(s.fillColour), formatNumber(s.pattern),
          std::string(s.drawingOff ? "True" : "False"), formatPosition(s.top), formatPosition(s.left),
          formatNumber(s.autoHide), formatNumber(s.hotKeyChoice)})
        out += line + "\r\n";
    return out;
}

std::optional<int64_t> parseInteger(std::string_view text, int64_t lo, int64_t hi) {
    const auto value = parseDecimal(trimBlanks(text));
    if (!value) return std::nullopt;
    return geometry::toIntegerInRange(*value, lo, hi);
}

std::optional<bool> parseBoolean(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    if (equalsIgnoreCase(t, "true")) return true;
    if (equalsIgnoreCase(t, "false")) return false;
    const auto value = parseDecimal(t);
    if (!value) return std::nullopt;
    return *value != 0;
}

std::optional<Settings> parse(std::string_view bytes) {
    // Editors may put a UTF-8 byte-order mark in front of the text.
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    const auto lines = splitLines(bytes, kLineCount);
    if (lines.size() < kLineCount) return std::nullopt;
    using Limits32 = std::numeric_limits<int32_t>;
    auto byteAt = [&lines](size_t i) { return parseInteger(lines[i], 0, 255); };
    auto positionAt = [&lines](size_t i) { return parseInteger(lines[i], Limits32::min(), Limits32::max()); };
    const auto lineColour = byteAt(0), lineWidth = byteAt(1), fillColour = byteAt(2), pattern = byteAt(3);
    const auto drawingOff = parseBoolean(lines[4]);
    const auto top = positionAt(5), left = positionAt(6);
    const auto autoHide = byteAt(7);
    const auto hotKey =
        parseInteger(lines[8], std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
    if (!lineColour || !lineWidth || !fillColour || !pattern || !drawingOff || !top || !left || !autoHide || !hotKey)
        return std::nullopt;
    return Settings{uint8_t(*lineColour), uint8_t(*lineWidth), uint8_t(*fillColour), int16_t(*pattern), *drawingOff,
                    float(*top),          float(*left),        uint8_t(*autoHide),   int16_t(*hotKey)};
}

}  // namespace settingsformat
