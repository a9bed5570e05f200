#include "tools/skinart/Art.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/Canvas.h"

namespace skinart {

namespace {

// An opaque pixel closer than this to the key would read as a fringe.
constexpr int kKeyGuard = 24;

std::uint8_t ToByte(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

std::uint8_t KeptFromKey(std::uint8_t value, std::uint8_t keyValue) {
  return keyValue == 0 ? std::max<std::uint8_t>(value, kKeyGuard) : value;
}

platform::TColor AwayFromKey(platform::TColor color, platform::TColor key) {
  if (ColorDistance(color, key) >= kKeyGuard) return color;
  return platform::RGB(KeptFromKey(platform::GetRValue(color), platform::GetRValue(key)),
                       KeptFromKey(platform::GetGValue(color), platform::GetGValue(key)),
                       KeptFromKey(platform::GetBValue(color), platform::GetBValue(key)));
}

std::vector<platform::TPoint> DiscOffsets(int radius) {
  std::vector<platform::TPoint> offsets;
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx)
      if (dx * dx + dy * dy <= radius * radius) offsets.push_back({dx, dy});
  return offsets;
}

}  // namespace

TRgb Mix(TRgb a, TRgb b, double t) {
  return TRgb{a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

TRgb Scaled(TRgb color, double factor) {
  auto scale = [factor](double value) { return std::clamp(value * factor, 0.0, 1.0); };
  return TRgb{scale(color.R), scale(color.G), scale(color.B)};
}

TShape RoundRect(double left, double top, double right, double bottom, double radius) {
  return [=](double x, double y) {
    if (x < left || x > right || y < top || y > bottom) return false;
    const double cx = std::clamp(x, left + radius, right - radius);
    const double cy = std::clamp(y, top + radius, bottom - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
}

TShape Circle(double centerX, double centerY, double radius) {
  return [=](double x, double y) {
    return (x - centerX) * (x - centerX) + (y - centerY) * (y - centerY) <= radius * radius;
  };
}

TShape Polygon(std::vector<std::pair<double, double>> points) {
  return [points = std::move(points)](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto [xi, yi] = points[i];
      const auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

int ColorDistance(platform::TColor a, platform::TColor b) {
  return std::max({std::abs(platform::GetRValue(a) - platform::GetRValue(b)),
                   std::abs(platform::GetGValue(a) - platform::GetGValue(b)),
                   std::abs(platform::GetBValue(a) - platform::GetBValue(b))});
}

TMask TMask::FromShape(int width, int height, int scale, const TShape& shape) {
  TMask mask(width * scale, height * scale);
  for (int y = 0; y < mask.height_; ++y)
    for (int x = 0; x < mask.width_; ++x)
      mask.Set(x, y, shape((x + 0.5) / scale, (y + 0.5) / scale));
  return mask;
}

TMask TMask::Dilated(int radius) const {
  const std::vector<platform::TPoint> disc = DiscOffsets(radius);
  TMask result(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      if (!At(x, y)) continue;
      for (const platform::TPoint offset : disc) {
        const int u = x + offset.X;
        const int v = y + offset.Y;
        if (u >= 0 && v >= 0 && u < width_ && v < height_) result.Set(u, v, true);
      }
    }
  return result;
}

TMask TMask::Eroded(int radius) const {
  const std::vector<platform::TPoint> disc = DiscOffsets(radius);
  TMask result(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      result.Set(x, y, At(x, y) && std::all_of(disc.begin(), disc.end(), [&](platform::TPoint o) {
                         return At(x + o.X, y + o.Y);
                       }));
  return result;
}

TMask TMask::Filled() const {
  TMask outside(width_, height_);
  std::vector<platform::TPoint> pending;
  auto reach = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || At(x, y) || outside.At(x, y)) return;
    outside.Set(x, y, true);
    pending.push_back({x, y});
  };
  for (int x = 0; x < width_; ++x) {
    reach(x, 0);
    reach(x, height_ - 1);
  }
  for (int y = 0; y < height_; ++y) {
    reach(0, y);
    reach(width_ - 1, y);
  }
  while (!pending.empty()) {
    const platform::TPoint p = pending.back();
    pending.pop_back();
    reach(p.X + 1, p.Y);
    reach(p.X - 1, p.Y);
    reach(p.X, p.Y + 1);
    reach(p.X, p.Y - 1);
  }
  TMask result(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) result.Set(x, y, !outside.At(x, y));
  return result;
}

TMask& TMask::operator|=(const TMask& other) {
  for (std::size_t i = 0; i < bits_.size(); ++i) bits_[i] |= other.bits_[i];
  return *this;
}

TMask& TMask::operator&=(const TMask& other) {
  for (std::size_t i = 0; i < bits_.size(); ++i) bits_[i] &= other.bits_[i];
  return *this;
}

TMask& TMask::operator-=(const TMask& other) {
  for (std::size_t i = 0; i < bits_.size(); ++i) bits_[i] &= !other.bits_[i];
  return *this;
}

TArt::TArt(int width, int height, int scale)
    : width_(width),
      height_(height),
      scale_(scale),
      colors_(static_cast<std::size_t>(width) * height * scale * scale),
      states_(colors_.size(), kEmpty) {}

void TArt::Paint(const TMask& mask, const TShader& shader, double opacity) {
  for (int y = 0; y < height_ * scale_; ++y)
    for (int x = 0; x < width_ * scale_; ++x) {
      if (!mask.At(x, y)) continue;
      const std::size_t i = Index(x, y);
      const TRgb color = shader(Center(x), Center(y));
      colors_[i] = states_[i] == kEmpty ? color : Mix(colors_[i], color, opacity);
      states_[i] = kPainted;
    }
}

void TArt::Backdrop(const TShader& shader) {
  for (int y = 0; y < height_ * scale_; ++y)
    for (int x = 0; x < width_ * scale_; ++x) {
      const std::size_t i = Index(x, y);
      if (states_[i] == kPainted) continue;
      colors_[i] = shader(Center(x), Center(y));
      states_[i] = kBackdrop;
    }
}

TRgb TArt::Sample(double x, double y) const {
  const int u = std::clamp(static_cast<int>(std::floor(x * scale_)), 0, width_ * scale_ - 1);
  const int v = std::clamp(static_cast<int>(std::floor(y * scale_)), 0, height_ * scale_ - 1);
  return colors_[Index(u, v)];
}

platform::TBitmap TArt::Resolve(platform::TColor key) const {
  platform::TBitmap bitmap(width_, height_);
  for (int py = 0; py < height_; ++py)
    for (int px = 0; px < width_; ++px) {
      int painted = 0;
      int defined = 0;
      TRgb sum;
      for (int y = py * scale_; y < (py + 1) * scale_; ++y)
        for (int x = px * scale_; x < (px + 1) * scale_; ++x) {
          const std::size_t i = Index(x, y);
          if (states_[i] == kEmpty) continue;
          painted += states_[i] == kPainted;
          ++defined;
          sum = TRgb{sum.R + colors_[i].R, sum.G + colors_[i].G, sum.B + colors_[i].B};
        }
      if (painted * 2 < scale_ * scale_) {
        bitmap.SetPixel(px, py, key);
        continue;
      }
      const platform::TColor color =
          platform::RGB(ToByte(sum.R / defined), ToByte(sum.G / defined), ToByte(sum.B / defined));
      bitmap.SetPixel(px, py, AwayFromKey(color, key));
    }
  return bitmap;
}

TRgbaImage TArt::ResolveRgba() const {
  TRgbaImage image{width_, height_, {}};
  image.Pixels.reserve(static_cast<std::size_t>(width_) * height_ * 4);
  for (int py = 0; py < height_; ++py)
    for (int px = 0; px < width_; ++px) {
      int painted = 0;
      TRgb sum;
      for (int y = py * scale_; y < (py + 1) * scale_; ++y)
        for (int x = px * scale_; x < (px + 1) * scale_; ++x) {
          const std::size_t i = Index(x, y);
          if (states_[i] != kPainted) continue;
          ++painted;
          sum = TRgb{sum.R + colors_[i].R, sum.G + colors_[i].G, sum.B + colors_[i].B};
        }
      const double share = painted / static_cast<double>(scale_ * scale_);
      const double count = std::max(painted, 1);
      image.Pixels.insert(image.Pixels.end(), {ToByte(sum.R / count), ToByte(sum.G / count),
                                               ToByte(sum.B / count), ToByte(share)});
    }
  return image;
}

TCoverage::TCoverage(std::string_view text, std::string_view family, int pixelSize, bool bold) {
  platform::TBitmap bitmap;
  platform::TCanvas canvas(bitmap);
  canvas.Font.Family = std::string(family);
  // Points at 96 dpi; the nearest size that reaches the requested em.
  canvas.Font.Size = (pixelSize * 72 + 95) / 96;
  canvas.Font.Bold = bold;
  canvas.Font.Color = platform::RGB(255, 255, 255);
  const int margin = pixelSize / 4;
  bitmap.SetSize(canvas.TextWidth(text) + 2 * margin, canvas.TextHeight(text) + 2 * margin);
  bitmap.Fill(platform::RGB(0, 0, 0));
  canvas.TextOut(margin, margin, text);
  width_ = bitmap.Width();
  height_ = bitmap.Height();
  values_.resize(static_cast<std::size_t>(width_) * height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      values_[static_cast<std::size_t>(y) * width_ + x] =
          static_cast<float>(platform::GetGValue(bitmap.Pixel(x, y)) / 255.0);
  // Everything is placed and scaled by the text's bounds, which must exist.
  if (Bounds().IsEmpty())
    throw std::runtime_error("\"" + std::string(text) + "\" draws nothing in " +
                             std::string(family) + " (is the font installed?)");
}

platform::TRect TCoverage::Bounds() const {
  platform::TRect bounds{width_, height_, 0, 0};
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      if (values_[static_cast<std::size_t>(y) * width_ + x] < 0.5f) continue;
      bounds.Left = std::min(bounds.Left, x);
      bounds.Top = std::min(bounds.Top, y);
      bounds.Right = std::max(bounds.Right, x + 1);
      bounds.Bottom = std::max(bounds.Bottom, y + 1);
    }
  return bounds.IsEmpty() ? platform::TRect{} : bounds;
}

double TCoverage::At(double x, double y) const {
  // Pixel centres sit at half-integer coordinates.
  const double u = x - 0.5;
  const double v = y - 0.5;
  const int x0 = static_cast<int>(std::floor(u));
  const int y0 = static_cast<int>(std::floor(v));
  auto value = [this](int px, int py) -> double {
    if (px < 0 || py < 0 || px >= width_ || py >= height_) return 0;
    return values_[static_cast<std::size_t>(py) * width_ + px];
  };
  const double fx = u - x0;
  const double fy = v - y0;
  const double top = value(x0, y0) * (1 - fx) + value(x0 + 1, y0) * fx;
  const double bottom = value(x0, y0 + 1) * (1 - fx) + value(x0 + 1, y0 + 1) * fx;
  return top * (1 - fy) + bottom * fy;
}

TMask PlaceCoverage(const TCoverage& coverage, const platform::TRect& source, double left,
                    double top, double factor, int width, int height, int scale) {
  return TMask::FromShape(width, height, scale, [&](double x, double y) {
    return coverage.At(source.Left + (x - left) / factor, source.Top + (y - top) / factor) >= 0.5;
  });
}

}  // namespace skinart
