#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// settings.ini: nine lines, each ended by CR LF, in list-output form:
//   " 12 " for a number that is not negative, "-900 " for a negative one,
//   "True" / "False" for the drawing-mode flag.
namespace settings {

inline constexpr const char* kFileName = "settings.ini";

struct Values {
    uint8_t lineColor = 12;      // line 1, QBColor index
    uint8_t lineWidth = 2;       // line 2
    uint8_t fillColor = 14;      // line 3, QBColor index
    int16_t pattern = 1;         // line 4: written from drawPattern, read back as the start pattern (0..255)
    bool drawingOff = true;      // line 5
    float top = 6600;            // line 6, toolbar Top in twips
    float left = 5685;           // line 7, toolbar Left in twips
    uint8_t autoHide = 0;        // line 8
    int16_t hotKeyChoice = 0;    // line 9

    bool operator==(const Values&) const = default;
};

// One number in list-output form, without the line end: " 12 ", "-900 ", " 1234.5 ".
std::string formatNumber(double v);

// The exact bytes of the file for these values. Toolbar positions are written no further out than
// 2.147483E+09 either way (infinities too; NaN as 0), so parse() always takes back what is written.
std::string format(const Values& v);

// Reads the nine values; nullopt when any of them is missing or does not convert.
// Lines end at CR, LF or CR LF; lines after the ninth are ignored. A UTF-8 byte-order mark
// (EF BB BF) at the very start is skipped; any other byte that is not part of a number refuses the line.
std::optional<Values> parse(std::string_view bytes);

// Text-to-number conversion of one line: blanks around the value ignored,
// a fraction rounded half to even; nullopt when not a number or outside [lo, hi].
std::optional<int64_t> parseInteger(std::string_view text, int64_t lo, int64_t hi);
// "True" / "False" in any letter case, or a number (0 is False, anything else True).
std::optional<bool> parseBoolean(std::string_view text);

struct LoadResult {
    Values values;               // from the file, or the defaults
    bool fromFile = false;       // all nine values came from the file
    bool defaultsWritten = false;
    std::string error;           // why the defaults could not be written, if they could not
};

// Reads the file; on any failure the defaults are used and written to the file.
LoadResult load(const std::string& path);

// Writes the file through a temporary file in the same folder renamed over the old one,
// so a crash or a full disk never leaves a damaged file. Returns an error message, or
// an empty string on success.
std::string save(const std::string& path, const Values& v);

}  // namespace settings
