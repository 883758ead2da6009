#pragma once
#include "model/Settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// settings.ini: nine lines, each ended by CR LF. A number is written with a blank in front when
// it is not negative (a minus sign otherwise) and one blank after it: " 12 ", "-900 ". Line 5
// is "True" or "False".
namespace settingsformat {

// One number as it is written, without the line end: " 12 ", "-900 ", " 1234.5 ".
std::string formatNumber(double v);

// The exact bytes of the file. Toolbar positions are written no further out than 2.147483E+09
// either way (infinities too; NaN as 0), so that whatever is written reads back.
std::string format(const Settings& s);

// The nine values; nullopt when one is missing or does not convert. Lines end at CR, LF or CR LF;
// lines after the ninth are ignored; a UTF-8 byte-order mark at the very start is skipped.
std::optional<Settings> parse(std::string_view bytes);

// One line as a number in [lo, hi]: blanks around it ignored, a fraction rounded half to even.
std::optional<int64_t> parseInteger(std::string_view text, int64_t lo, int64_t hi);
// "True" / "False" in any letter case, or a number (0 is False, anything else True).
std::optional<bool> parseBoolean(std::string_view text);

}  // namespace settingsformat
