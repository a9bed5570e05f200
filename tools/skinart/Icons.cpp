#include "tools/skinart/Icons.h"

#include <algorithm>
#include <cmath>

#include "platform/Png.h"
#include "tools/skinart/IconDesign.h"
#include "tools/skinart/IconSvg.h"

namespace skinart {

namespace {

std::vector<std::uint8_t> EncodePngOf(const TRgbaImage& image) {
  return platform::EncodePng(image.Width, image.Height, image.Pixels);
}

// Subpixels a side: small pictures get more, so that every size is
// sampled about as finely.
int SupersampleFor(int pixels) { return std::clamp(512 / pixels, 4, 16); }

double SegmentDistance(double x, double y, std::pair<double, double> a,
                       std::pair<double, double> b) {
  const double dx = b.first - a.first;
  const double dy = b.second - a.second;
  const double length = dx * dx + dy * dy;
  const double t =
      length > 0 ? std::clamp(((x - a.first) * dx + (y - a.second) * dy) / length, 0.0, 1.0) : 0.0;
  return std::hypot(x - a.first - t * dx, y - a.second - t * dy);
}

// The polygon grown by a disc of the radius (0: the polygon itself).
TShape GrownPolygon(const TIconPath& path, double grow) {
  double left = path.front().first;
  double right = left;
  double top = path.front().second;
  double bottom = top;
  for (const auto& [x, y] : path) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  const TShape inside = Polygon(path);
  return [=](double x, double y) {
    if (x < left - grow || x > right + grow || y < top - grow || y > bottom + grow) return false;
    if (inside(x, y)) return true;
    for (std::size_t i = 0, j = path.size() - 1; i < path.size(); j = i++)
      if (SegmentDistance(x, y, path[j], path[i]) <= grow) return true;
    return false;
  };
}

// The shape in design units, grown by grow on every side.
TShape GrownShape(const TIconGeometry& geometry, double grow) {
  if (const auto* rect = std::get_if<TIconRect>(&geometry))
    return RoundRect(rect->Left - grow, rect->Top - grow, rect->Right + grow, rect->Bottom + grow,
                     rect->Radius + grow);
  if (const auto* circle = std::get_if<TIconCircle>(&geometry))
    return Circle(circle->X, circle->Y, circle->Radius + grow);
  return GrownPolygon(std::get<TIconPath>(geometry), grow);
}

}  // namespace

TRgbaImage RenderIcon(int pixels) {
  const double units = kIconUnits / pixels;
  auto inPixels = [units](TShape shape) -> TShape {
    return [units, shape = std::move(shape)](double x, double y) {
      return shape(x * units, y * units);
    };
  };
  TArt art(pixels, pixels, SupersampleFor(pixels));
  for (const TIconLayer& layer : IconLayers(pixels)) {
    if (layer.Outline > 0)
      art.Paint(inPixels(GrownShape(layer.Geometry, layer.Outline)), Solid(layer.OutlineColor),
                layer.Opacity);
    const TIconFill fill = layer.Fill;
    art.Paint(
        inPixels(GrownShape(layer.Geometry, 0)),
        [units, fill](double x, double y) { return fill.At(x * units, y * units); }, layer.Opacity);
  }
  return art.ResolveRgba();
}

std::vector<TIconFile> IconFiles() {
  std::vector<TIconFile> files;
  for (const int pixels : kIconSizes) {
    const std::string size = std::to_string(pixels);
    files.push_back(
        {"hicolor/" + size + "x" + size + "/apps/ludex.png", EncodePngOf(RenderIcon(pixels))});
  }
  const std::string svg = IconSvg(IconLayers(static_cast<int>(kIconUnits)));
  files.push_back({"hicolor/scalable/apps/ludex.svg", {svg.begin(), svg.end()}});
  return files;
}

}  // namespace skinart
