#pragma once

#include <string>
#include <vector>

#include "tools/skinart/IconDesign.h"

namespace skinart {

// The layers as an SVG document on a square of kIconUnits a side. Outlines
// become the shape grown by the outline's width (rectangles and circles) or
// a round-joined stroke twice as wide under the fill (polygons), so it
// paints what the rasteriser paints.
std::string IconSvg(const std::vector<TIconLayer>& layers);

}  // namespace skinart
