#pragma once

#include <memory>
#include <optional>

#include "platform/Region.h"
#include "platform/Types.h"
#include "skin/AlphaImage.h"

// Effects that change how a drawable fills a destination of any size and how
// it shapes a window. Each owns the image it wraps.
namespace skin {

// Pixels of the mask colour are not painted and are cut out of regions.
class TAlphedImage : public TAlphaImageEffect {
 public:
  // Destinations of this many pixels or more are painted opaque: big images
  // such as window backgrounds rely on the window region to hide the mask.
  static constexpr std::int64_t kOpaqueDrawPixels = 10000;

  explicit TAlphedImage(std::unique_ptr<TAlphaImage> inner);

  // Also marks the image, and so every effect around it, as transparent.
  void SetMaskColor(platform::TColor color);
  platform::TColor GetMaskColor() const { return MaskColor; }

  void Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const override;
  // The image drawn 1:1 from the source rectangle `rect`, without its
  // mask-coloured pixels; none when no pixel has the mask colour.
  std::optional<platform::TRegion> CreateRegion(const TRect& rect) const override;

 private:
  platform::TColor MaskColor = 0;
};

// Plain scaling: the forwarded draw already scales the source to the
// destination.
class TStretchedImage : public TAlphaImageEffect {
 public:
  explicit TStretchedImage(std::unique_ptr<TAlphaImage> inner);
};

// Repeats the inner image at its own size from the destination's top-left
// corner; tiles are drawn whole.
class TTiledImage : public TAlphaImageEffect {
 public:
  explicit TTiledImage(std::unique_ptr<TAlphaImage> inner);

  void Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const override;
};

// A nine-piece resize: the borders keep their size and the one-pixel column
// and row through (CenterX, CenterY) stretch to fill the rest.
class TCenterSplitImage : public TAlphaImageEffect {
 public:
  explicit TCenterSplitImage(std::unique_ptr<TAlphaImage> inner);

  // The whole inner image is drawn; `src` is ignored.
  void Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const override;
  // `rect` is the destination; none when the inner image is opaque or no
  // piece has transparent pixels.
  std::optional<platform::TRegion> CreateRegion(const TRect& rect) const override;

  int CenterX = 0;
  int CenterY = 0;
};

// Scales a region by (sx, sy) about the origin. Unit scales, and scales of 0
// or less, leave it unchanged.
platform::TRegion ScaleRegion(platform::TRegion region, int sx, int sy);

}  // namespace skin
