#pragma once
#include <QString>

#include <cstdint>
#include <optional>

struct Module1;

// The settings panel's logic without its widgets: what the controls show for the shared
// state, and the apply step that writes their choices back.
namespace setup {

inline constexpr int kWidths = 5;  // cboSize lists "1" to "5"

// What the panel's controls hold when a confirming button is pressed.
struct Choices {
    uint8_t lineColor = 0;  // pendingLineColor
    uint8_t fillColor = 0;  // pendingFillColor
    bool autoHide = false;  // chkAutoMin checked
    bool f1 = false;        // Option2 ("F1") selected rather than Option1 ("Ctrl + Z")
    QString widthText;      // the text of cboSize
};

// The line width that the text of cboSize stands for: a whole number 1..5 (blanks around it
// and full-width digits allowed), or the width now in force whatever its value, so that a
// width outside 1..5 read from the file stays when the user leaves the box alone. nullopt for
// anything else: empty text, letters, fractions, other numbers.
std::optional<uint8_t> widthFromText(const QString& text, uint8_t inForce);

// The position of cboSize's item for a width, counted from 0; -1 when the list has no item
// for it (the box then shows the number as its text).
int widthItem(uint8_t width);

// The option button that shows a hot-key choice: 2 ("F1") for 1, 1 ("Ctrl + Z") for any other.
int hotKeyOption(int16_t hotKeyChoice);

// The apply step: colours, drawColor for the current pattern (fillColor for the filled circle
// and rectangle, lineColor otherwise), Auto-Hide 0/1, hot-key choice 0/1, line width.
// When the width text is not acceptable nothing changes and the result is false.
bool apply(Module1& m, const Choices& c);

}  // namespace setup
