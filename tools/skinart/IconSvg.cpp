#include "tools/skinart/IconSvg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

namespace skinart {

namespace {

// A number with up to three decimals and no trailing zeros, independent of
// the locale.
std::string Number(double value) {
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3).ptr;
  std::string text(buffer, end);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

std::string Hex(TRgb color) {
  auto byte = [](double value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
  };
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", byte(color.R), byte(color.G),
                byte(color.B));
  return buffer;
}

std::string Attribute(std::string_view name, const std::string& value) {
  std::string text(" ");
  text.append(name).append("=\"").append(value).append("\"");
  return text;
}

// The gradients of the document, each written once however many layers
// use it.
class TGradients {
 public:
  // The paint of a fill: its colour, or a reference to its gradient.
  std::string Paint(const TIconFill& fill) {
    if (fill.IsSolid()) return Hex(fill.From);
    const std::string stops =
        Attribute("gradientUnits", "userSpaceOnUse") + Attribute("x1", Number(fill.X1)) +
        Attribute("y1", Number(fill.Y1)) + Attribute("x2", Number(fill.X2)) +
        Attribute("y2", Number(fill.Y2)) + ">\n      <stop offset=\"0\"" +
        Attribute("stop-color", Hex(fill.From)) + "/>\n      <stop offset=\"1\"" +
        Attribute("stop-color", Hex(fill.To)) + "/>\n";
    auto found = ids_.find(stops);
    if (found == ids_.end()) {
      found = ids_.emplace(stops, "fill" + std::to_string(ids_.size())).first;
      defs_ += "    <linearGradient" + Attribute("id", found->second) + stops +
               "    </linearGradient>\n";
    }
    return "url(#" + found->second + ")";
  }
  // The <defs> element, empty when there are no gradients.
  std::string Defs() const { return defs_.empty() ? "" : "  <defs>\n" + defs_ + "  </defs>\n"; }

 private:
  std::map<std::string, std::string> ids_;
  std::string defs_;
};

// The element of a shape grown by grow on every side: a polygon grows by a
// round-joined stroke, to be painted in the fill's colour.
std::string Shape(const TIconRect& rect, double grow) {
  const double radius = rect.Radius + grow;
  return "<rect" + Attribute("x", Number(rect.Left - grow)) +
         Attribute("y", Number(rect.Top - grow)) +
         Attribute("width", Number(rect.Right - rect.Left + 2 * grow)) +
         Attribute("height", Number(rect.Bottom - rect.Top + 2 * grow)) +
         (radius > 0 ? Attribute("rx", Number(radius)) : "");
}

std::string Shape(const TIconCircle& circle, double grow) {
  return "<circle" + Attribute("cx", Number(circle.X)) + Attribute("cy", Number(circle.Y)) +
         Attribute("r", Number(circle.Radius + grow));
}

std::string Shape(const TIconPath& path, double grow) {
  std::string data;
  for (const auto& [x, y] : path) data += (data.empty() ? "M" : " L") + Number(x) + " " + Number(y);
  std::string element = "<path" + Attribute("d", data + " Z");
  if (grow > 0)
    element += Attribute("stroke-width", Number(2 * grow)) + Attribute("stroke-linejoin", "round");
  return element;
}

std::string Element(const TIconGeometry& geometry, double grow, const std::string& paint,
                    double opacity) {
  std::string element =
      std::visit([grow](const auto& shape) { return Shape(shape, grow); }, geometry);
  if (grow > 0 && std::holds_alternative<TIconPath>(geometry))
    element += Attribute("stroke", paint);
  element += Attribute("fill", paint);
  if (opacity < 1) element += Attribute("opacity", Number(opacity));
  return "  " + element + "/>\n";
}

}  // namespace

std::string IconSvg(const std::vector<TIconLayer>& layers) {
  const std::string size = Number(kIconUnits);
  TGradients gradients;
  std::string body;
  for (const TIconLayer& layer : layers) {
    if (layer.Outline > 0)
      body += Element(layer.Geometry, layer.Outline, Hex(layer.OutlineColor), layer.Opacity);
    body += Element(layer.Geometry, 0, gradients.Paint(layer.Fill), layer.Opacity);
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"" +
         Attribute("width", size) + Attribute("height", size) +
         Attribute("viewBox", "0 0 " + size + " " + size) + ">\n" + gradients.Defs() + body +
         "</svg>\n";
}

}  // namespace skinart
