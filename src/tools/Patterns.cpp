#include "tools/Patterns.h"

#include "render/Palette.h"
#include "tools/Shapes.h"

#include <array>

namespace {

template <class T>
std::unique_ptr<Tool> make(Surface& s, const PenStyle& pen, int lineWidth) {
    return std::make_unique<T>(s, pen, lineWidth);
}

// One row per pattern, in pattern order. Filled patterns are highlighters in the fill colour.
struct Row {
    Pattern pattern;
    Ink ink;
    bool filled;
    bool fillColour;  // drawn in the fill colour, else in the line colour
    std::unique_ptr<Tool> (*make)(Surface&, const PenStyle&, int);
};
constexpr std::array<Row, kPatternCount> kRows = {{
    {Pattern::Arrow, Ink::Copy, false, false, make<ArrowTool>},
    {Pattern::Line, Ink::Copy, false, false, make<LineTool>},
    {Pattern::Circle, Ink::Copy, false, false, make<EllipseTool>},
    {Pattern::FilledCircle, Ink::Highlight, true, true, make<EllipseTool>},
    {Pattern::Rectangle, Ink::Copy, false, false, make<BoxTool>},
    {Pattern::FilledRectangle, Ink::Highlight, true, true, make<BoxTool>},
    {Pattern::Loupe, Ink::Copy, true, false, make<LoupeTool>},  // filled: its band is a solid area
    {Pattern::FreeDraw, Ink::Copy, true, false, make<FreehandTool>},
}};

const Row& rowOf(Pattern p) { return kRows[size_t(int(p) - 1)]; }

}  // namespace

PenStyle penFor(Pattern pattern, const Settings& settings) {
    const Row& row = rowOf(pattern);
    return {row.ink, row.filled, paletteColour(row.fillColour ? settings.fillColour : settings.lineColour),
            settings.lineWidth * 2};
}

std::unique_ptr<Tool> makeTool(Pattern pattern, const Settings& settings, Surface& surface) {
    return rowOf(pattern).make(surface, penFor(pattern, settings), settings.lineWidth);
}
