#pragma once
#include "model/Pattern.h"
#include "model/Settings.h"
#include "render/PenStyle.h"

#include <memory>

class Surface;
class Tool;

// The pen a pattern draws with under these settings: its ink, fill, the line or the fill colour,
// and twice the line width in device pixels.
PenStyle penFor(Pattern pattern, const Settings& settings);

// The tool that draws a pattern, with its pen.
std::unique_ptr<Tool> makeTool(Pattern pattern, const Settings& settings, Surface& surface);
