#include "model/Pattern.h"

std::optional<Pattern> patternNumbered(int number) {
    if (number < 1 || number > kPatternCount) return std::nullopt;
    return Pattern(number);
}

Pattern nextPattern(std::optional<Pattern> current) {
    return patternNumbered(numberOf(current) + 1).value_or(Pattern::Arrow);
}

Pattern previousPattern(std::optional<Pattern> current) {
    return patternNumbered(numberOf(current) - 1).value_or(Pattern::FreeDraw);
}
