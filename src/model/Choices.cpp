#include "model/Choices.h"

#include <algorithm>

int choiceShowing(int colour) {
    const auto it = std::find(kColourChoices.begin(), kColourChoices.end(), colour);
    return it == kColourChoices.end() ? 1 : int(it - kColourChoices.begin());
}

std::optional<uint8_t> widthFromText(const QString& text, uint8_t inForce) {
    // Full-width digits, as a Japanese input method types them, count as digits.
    const QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (t.isEmpty() || t.size() > 3 || std::any_of(t.begin(), t.end(), [](QChar c) { return c < u'0' || c > u'9'; }))
        return std::nullopt;
    const int w = t.toInt();
    if ((w >= 1 && w <= kWidthChoices) || w == inForce) return uint8_t(w);
    return std::nullopt;
}
