#include "settings/SettingsFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Numeric.h"

namespace settings {

namespace {

constexpr int kLineCount = 9;
// The nine lines are a few bytes each; nothing past this much of the file is ever looked at.
constexpr size_t kReadLimit = 64 * 1024;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Reads a decimal number: optional sign, digits with an optional point and fraction,
// optional exponent. The whole text must be the number (no blanks left, no other characters).
// The conversion never depends on the locale.
std::optional<double> parseDecimal(std::string_view s) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const size_t mantissaStart = i;
    size_t intDigits = 0, fracDigits = 0;
    while (i < s.size() && isDigit(s[i])) { ++i; ++intDigits; }
    const size_t intEnd = i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) { ++i; ++fracDigits; }
    }
    if (intDigits + fracDigits == 0) return std::nullopt;
    const size_t mantissaEnd = i;

    bool expNegative = false;
    long long exponent = 0;  // saturated; only used to tell underflow from overflow
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNegative = s[i] == '-';
            ++i;
        }
        size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[i] - '0');
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;

    // from_chars takes no leading '+', so hand it everything after the sign.
    std::string text;
    if (negative) text += '-';
    text.append(s.substr(mantissaStart));
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value,
                                   std::chars_format::general);
    if (r.ptr != text.data() + text.size()) return std::nullopt;
    if (r.ec == std::errc::result_out_of_range) {
        // Too large, or so small it does not fit a double. Find the position of the
        // leading significant digit to tell which.
        long long magnitude = 0;
        std::string_view intPart = s.substr(mantissaStart, intEnd - mantissaStart);
        while (!intPart.empty() && intPart.front() == '0') intPart.remove_prefix(1);
        if (!intPart.empty()) {
            magnitude = static_cast<long long>(intPart.size());
        } else {
            std::string_view frac = s.substr(intEnd, mantissaEnd - intEnd);
            if (!frac.empty()) frac.remove_prefix(1);  // the point
            size_t zeros = 0;
            while (zeros < frac.size() && frac[zeros] == '0') ++zeros;
            magnitude = -static_cast<long long>(zeros);
        }
        magnitude += expNegative ? -exponent : exponent;
        if (magnitude > 0) return std::nullopt;
        // A nonzero value too small to hold: keep it nonzero (it still reads as True).
        const double tiny = std::numeric_limits<double>::denorm_min();
        return negative ? -tiny : tiny;
    }
    if (r.ec != std::errc()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Splits off up to `max` lines. A line ends at CR, at LF, or at CR LF taken together.
// Text after the last line end counts as a line of its own.
std::vector<std::string_view> splitLines(std::string_view bytes, size_t max) {
    std::vector<std::string_view> lines;
    size_t start = 0, i = 0;
    while (i < bytes.size() && lines.size() < max) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            ++i;
            if (c == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (lines.size() < max && start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::string errnoText(int err) {
    const char* msg = std::strerror(err);
    return msg ? msg : "unknown error";
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path abs = std::filesystem::absolute(path, ec);
    if (ec) return path;
    return abs.lexically_normal().string();
}

// The process umask, read without leaving it changed.
mode_t currentUmask() {
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            unsigned int mask = 0;
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                std::fclose(f);
                return static_cast<mode_t>(mask & 0777);
            }
        }
        std::fclose(f);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool writeAll(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Reads at most kReadLimit bytes. `complete` tells whether that was the whole file.
bool readBounded(const std::string& path, std::string& out, bool& complete) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    out.assign(kReadLimit + 1, '\0');
    size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    complete = got <= kReadLimit;
    out.resize(std::min(got, kReadLimit));
    return true;
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
    for (char& c : digits) {
        if (c == 'e') c = 'E';
    }
    std::string out;
    out.reserve(digits.size() + 2);
    if (digits.empty() || digits.front() != '-') out += ' ';
    out += digits;
    out += ' ';
    return out;
}

namespace {

// A toolbar position in its written form. Seven significant digits turn anything from
// 2147483500 up into 2.147484E+09, which is past the 32-bit range parse() takes, so a
// position is written no further out than 2.147483E+09 either way: whatever is written reads back.
std::string formatPosition(float v) {
    constexpr double kLimit = 2147483000.0;
    const double d = std::isnan(v) ? 0.0 : double(v);
    return formatNumber(std::clamp(d, -kLimit, kLimit));
}

}  // namespace

std::string format(const Values& v) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    line(formatNumber(v.lineColor));
    line(formatNumber(v.lineWidth));
    line(formatNumber(v.fillColor));
    line(formatNumber(v.pattern));
    line(v.drawingOff ? "True" : "False");
    line(formatPosition(v.top));
    line(formatPosition(v.left));
    line(formatNumber(v.autoHide));
    line(formatNumber(v.hotKeyChoice));
    return out;
}

std::optional<int64_t> parseInteger(std::string_view text, int64_t lo, int64_t hi) {
    const auto value = parseDecimal(trimBlanks(text));
    if (!value) return std::nullopt;
    const double r = numeric::roundHalfEven(*value);
    // Beyond what an int64_t holds: out of any range this is asked for.
    if (!(r >= -0x1p63 && r < 0x1p63)) return std::nullopt;
    return numeric::toIntegerInRange(r, lo, hi);
}

std::optional<bool> parseBoolean(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    if (equalsIgnoreCase(t, "true")) return true;
    if (equalsIgnoreCase(t, "false")) return false;
    const auto value = parseDecimal(t);
    if (!value) return std::nullopt;
    return *value != 0;
}

std::optional<Values> parse(std::string_view bytes) {
    // Editors may put a UTF-8 byte-order mark in front of the text; the numbers are read the same.
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    const auto lines = splitLines(bytes, kLineCount);
    if (lines.size() < kLineCount) return std::nullopt;

    auto byteAt = [&lines](int i) { return parseInteger(lines[i], 0, 255); };
    const auto lineColor = byteAt(0);
    const auto lineWidth = byteAt(1);
    const auto fillColor = byteAt(2);
    const auto pattern = byteAt(3);
    const auto drawingOff = parseBoolean(lines[4]);
    const auto top = parseInteger(lines[5], std::numeric_limits<int32_t>::min(),
                                  std::numeric_limits<int32_t>::max());
    const auto left = parseInteger(lines[6], std::numeric_limits<int32_t>::min(),
                                   std::numeric_limits<int32_t>::max());
    const auto autoHide = byteAt(7);
    const auto hotKeyChoice = parseInteger(lines[8], std::numeric_limits<int16_t>::min(),
                                           std::numeric_limits<int16_t>::max());
    if (!lineColor || !lineWidth || !fillColor || !pattern || !drawingOff || !top || !left ||
        !autoHide || !hotKeyChoice)
        return std::nullopt;

    Values v;
    v.lineColor = static_cast<uint8_t>(*lineColor);
    v.lineWidth = static_cast<uint8_t>(*lineWidth);
    v.fillColor = static_cast<uint8_t>(*fillColor);
    v.pattern = static_cast<int16_t>(*pattern);
    v.drawingOff = *drawingOff;
    v.top = static_cast<float>(*top);
    v.left = static_cast<float>(*left);
    v.autoHide = static_cast<uint8_t>(*autoHide);
    v.hotKeyChoice = static_cast<int16_t>(*hotKeyChoice);
    return v;
}

std::string save(const std::string& path, const Values& v) {
    try {
        const std::string bytes = format(v);
        auto fail = [&path](int err) {
            return "Cannot save settings to " + absolutePath(path) + ": " + errnoText(err);
        };

        const size_t slash = path.rfind('/');
        const std::string dir = slash == std::string::npos ? std::string(".")
                                : slash == 0               ? std::string("/")
                                                           : path.substr(0, slash);
        const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
        if (base.empty()) return fail(EISDIR);

        const std::string prefix = (dir == "/" ? std::string("/") : dir + "/") + base + ".";
        // An unnamed file first, where the system offers it: a crash while it is written
        // leaves nothing behind. It gets a name only for the moment before the rename.
        int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        const bool unnamed = fd >= 0;
        std::string tmp;
        if (!unnamed) {
            std::vector<char> tmpName(prefix.begin(), prefix.end());
            for (char c : std::string("XXXXXX")) tmpName.push_back(c);
            tmpName.push_back('\0');
            fd = ::mkostemp(tmpName.data(), O_CLOEXEC);
            if (fd < 0) return fail(errno);
            tmp.assign(tmpName.data());
        }

        auto abandon = [&](int err) {
            ::close(fd);
            if (!tmp.empty()) ::unlink(tmp.c_str());
            return fail(err);
        };
        if (!writeAll(fd, bytes)) return abandon(errno);
        int rc;
        do {
            rc = ::fsync(fd);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) return abandon(errno);
        if (::fchmod(fd, 0666 & ~currentUmask()) != 0) return abandon(errno);
        if (unnamed) {
            const std::string self = "/proc/self/fd/" + std::to_string(fd);
            for (unsigned attempt = 0; tmp.empty(); ++attempt) {
                std::string name = prefix + std::to_string(::getpid()) + "-" + std::to_string(attempt);
                if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                    tmp = std::move(name);
                else if (errno != EEXIST || attempt > 100)
                    return abandon(errno);
            }
        }
        if (::close(fd) != 0 && errno != EINTR) {
            const int err = errno;
            ::unlink(tmp.c_str());
            return fail(err);
        }
        if (::rename(tmp.c_str(), path.c_str()) != 0) {
            const int err = errno;
            ::unlink(tmp.c_str());
            return fail(err);
        }
        // Make the rename itself durable; the file is already in place if this fails.
        const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
        return {};
    } catch (...) {
        try {
            return "Cannot save settings to " + path + ": out of memory";
        } catch (...) {
            return "out of memory";  // short enough to need no allocation
        }
    }
}

LoadResult load(const std::string& path) {
    LoadResult result;
    try {
        std::string bytes;
        bool complete = true;
        if (readBounded(path, bytes, complete)) {
            if (!complete) {
                // Only lines that end inside what was read count; a line cut by the
                // read limit might read as a different number.
                const size_t lastEnd = bytes.find_last_of("\r\n");
                bytes.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
            }
            if (auto values = parse(bytes)) {
                result.values = *values;
                result.fromFile = true;
                return result;
            }
        }
        result.values = Values{};
        result.error = save(path, result.values);
        result.defaultsWritten = result.error.empty();
    } catch (...) {
        result.values = Values{};
        result.fromFile = false;
        result.defaultsWritten = false;
        try {
            result.error = "Cannot load settings from " + path + ": out of memory";
        } catch (...) {
            result.error = "out of memory";
        }
    }
    return result;
}

}  // namespace settings
