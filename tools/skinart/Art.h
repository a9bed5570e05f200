#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Types.h"

// Supersampled drawing for the skin artwork: shapes are decided per
// subpixel, then averaged down to whole pixels. Every output pixel ends up
// either exactly the key colour or fully opaque, since skins know no partial
// transparency.
namespace skinart {

inline constexpr double kPi = 3.14159265358979323846;

struct TRgb {
  double R = 0;
  double G = 0;
  double B = 0;
};

// A colour from 0..255 components.
constexpr TRgb Rgb(int red, int green, int blue) {
  return TRgb{red / 255.0, green / 255.0, blue / 255.0};
}
// a at t = 0, b at t = 1.
TRgb Mix(TRgb a, TRgb b, double t);
// Multiplies every component (factor above 1 brightens), clamped to 0..1.
TRgb Scaled(TRgb color, double factor);

// Coordinates are in output pixels (fractions allowed); a shape answers
// whether a point lies inside it, a shader which colour it has there.
using TShape = std::function<bool(double x, double y)>;
using TShader = std::function<TRgb(double x, double y)>;

inline TShader Solid(TRgb color) {
  return [color](double, double) { return color; };
}

// The whole picture.
inline TShape Everywhere() {
  return [](double, double) { return true; };
}

// A rectangle with corners rounded by radius; bounds in pixel coordinates.
TShape RoundRect(double left, double top, double right, double bottom, double radius);
TShape Circle(double centerX, double centerY, double radius);
// The inside of a closed polygon (even-odd rule).
TShape Polygon(std::vector<std::pair<double, double>> points);

// A picture with an alpha channel: four bytes a pixel (red, green, blue,
// opacity), rows top first, colours not premultiplied.
struct TRgbaImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
};

// One bit per subpixel.
class TMask {
 public:
  TMask() = default;
  TMask(int width, int height) : width_(width), height_(height), bits_(Index(width, height)) {}

  // The subpixels of a width x height pixel area, scale subpixels a side,
  // whose centres lie inside the shape.
  static TMask FromShape(int width, int height, int scale, const TShape& shape);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_ && bits_[Index(x, y)];
  }
  void Set(int x, int y, bool on) { bits_[Index(x, y)] = on; }

  // Grown by a disc of the radius (in subpixels).
  TMask Dilated(int radius) const;
  // Shrunk by a disc of the radius (in subpixels).
  TMask Eroded(int radius) const;
  // With every hole closed: all that the outside cannot reach.
  TMask Filled() const;
  TMask& operator|=(const TMask& other);
  TMask& operator&=(const TMask& other);
  // Removes the subpixels set in other.
  TMask& operator-=(const TMask& other);

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> bits_;
};

inline TMask operator|(TMask a, const TMask& b) { return a |= b; }
inline TMask operator&(TMask a, const TMask& b) { return a &= b; }
inline TMask operator-(TMask a, const TMask& b) { return a -= b; }

// A picture under construction at scale subpixels per pixel. Each subpixel
// is empty, backdrop (what the picture will be drawn over, used to blend
// the edges) or painted; only painted subpixels make a pixel opaque.
class TArt {
 public:
  TArt(int width, int height, int scale);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Scale() const { return scale_; }
  TMask Shape(const TShape& shape) const {
    return TMask::FromShape(width_, height_, scale_, shape);
  }

  // Paints the subpixels of the mask; opacity below 1 mixes with what is there.
  void Paint(const TMask& mask, const TShader& shader, double opacity = 1);
  void Paint(const TShape& shape, const TShader& shader, double opacity = 1) {
    Paint(Shape(shape), shader, opacity);
  }
  // Sets the backdrop of every subpixel not painted yet.
  void Backdrop(const TShader& shader);
  // The colour at a point (nearest subpixel).
  TRgb Sample(double x, double y) const;

  // Averages the subpixels down: a pixel less than half painted becomes the
  // key; any other takes the mean of its painted and backdrop subpixels,
  // nudged away from the key should it come close to it.
  platform::TBitmap Resolve(platform::TColor key) const;
  // Averages the subpixels down for a picture with partial transparency:
  // a pixel's opacity is its painted share, its colour the mean of its
  // painted subpixels (the backdrop is ignored).
  TRgbaImage ResolveRgba() const;

 private:
  enum : std::uint8_t { kEmpty, kBackdrop, kPainted };
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_ * scale_) +
           static_cast<std::size_t>(x);
  }
  double Center(int subpixel) const { return (subpixel + 0.5) / scale_; }

  int width_;
  int height_;
  int scale_;
  std::vector<TRgb> colors_;
  std::vector<std::uint8_t> states_;
};

// Text rendered large and read back as coverage (0..1 per pixel).
class TCoverage {
 public:
  // text in the family at pixelSize pixels per em, bold or not. Throws
  // std::runtime_error when nothing is drawn (no such glyph or no fonts).
  TCoverage(std::string_view text, std::string_view family, int pixelSize, bool bold);

  // The smallest rectangle holding every pixel of at least half coverage.
  platform::TRect Bounds() const;
  // Bilinear coverage at a point.
  double At(double x, double y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<float> values_;
};

// The part source of the coverage scaled by factor with its top-left corner
// at (left, top) of a width x height pixel area at the scale: the subpixels
// where the scaled coverage reaches one half.
TMask PlaceCoverage(const TCoverage& coverage, const platform::TRect& source, double left,
                    double top, double factor, int width, int height, int scale);

// The distance between two colours as the largest component difference.
int ColorDistance(platform::TColor a, platform::TColor b);

}  // namespace skinart
