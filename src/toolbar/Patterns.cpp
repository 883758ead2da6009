#include "toolbar/Patterns.h"

#include "core/Module1.h"

namespace patterns {

namespace {
constexpr Pattern kTable[kCount] = {
    {1, 3, 1, 13, false, 1},   // arrow
    {2, 2, 2, 13, false, 1},   // straight line
    {3, 4, 5, 13, false, 1},   // circle, outline
    {4, 4, 6, 9, true, 0},     // circle, filled
    {5, 5, 3, 13, false, 1},   // rectangle, outline
    {6, 5, 4, 9, true, 0},     // rectangle, filled
    {7, 7, 7, 13, false, 0},   // loupe
    {8, 1, 12, 13, false, 0},  // free draw
};
}  // namespace

const Pattern* find(int number) {
    if (number < 1 || number > kCount) return nullptr;
    return &kTable[number - 1];
}

int select(Module1& m, int number) {
    const Pattern* p = find(number);
    if (!p) return 0;
    m.shapeKind = p->shapeKind;
    m.drawPattern = p->number;
    m.penMode = p->penMode;
    m.drawColor = p->usesFillColor ? m.fillColor : m.lineColor;
    m.fillStyle = p->fillStyle;
    return p->image;
}

int16_t next(int16_t current) {
    int n = current + 1;
    return static_cast<int16_t>(n < 1 || n > kCount ? 1 : n);
}

int16_t previous(int16_t current) {
    int n = current - 1;
    return static_cast<int16_t>(n < 1 || n > kCount ? kCount : n);
}

}  // namespace patterns
