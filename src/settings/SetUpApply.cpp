#include "settings/SetUpApply.h"

#include "core/Module1.h"
#include "toolbar/Patterns.h"

namespace setup {

std::optional<uint8_t> widthFromText(const QString& text, uint8_t inForce) {
    // Full-width digits, as a Japanese input method types them, count as digits.
    QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (t.isEmpty() || t.size() > 3) return std::nullopt;
    for (QChar c : t)
        if (c < u'0' || c > u'9') return std::nullopt;
    int w = t.toInt();
    if ((w >= 1 && w <= kWidths) || w == inForce) return static_cast<uint8_t>(w);
    return std::nullopt;
}

int widthItem(uint8_t width) { return width >= 1 && width <= kWidths ? width - 1 : -1; }

int hotKeyOption(int16_t hotKeyChoice) { return hotKeyChoice == 1 ? 2 : 1; }

bool apply(Module1& m, const Choices& c) {
    std::optional<uint8_t> width = widthFromText(c.widthText, m.lineWidth);
    if (!width) return false;
    m.lineColor = c.lineColor;
    m.fillColor = c.fillColor;
    const patterns::Pattern* p = patterns::find(m.drawPattern);
    m.drawColor = p && p->usesFillColor ? m.fillColor : m.lineColor;
    m.autoHide = c.autoHide ? 1 : 0;
    m.hotKeyChoice = c.f1 ? 1 : 0;
    m.lineWidth = *width;
    return true;
}

}  // namespace setup
