#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Region.h"
#include "platform/Types.h"

namespace platform {
class TBitmap;
class TCanvas;
}  // namespace platform

// Drawables of the skin engine: everything a skinned control paints is a
// TAlphaImage, and every image area of a skin is a TImagePack of them.
namespace skin {

using platform::TRect;

// An abstract drawable: a size, row access to its pixels, a draw operation
// from a source rectangle of the image into a destination rectangle of a
// canvas (scaled when the sizes differ), and an optional window shape.
class TAlphaImage {
 public:
  TAlphaImage() = default;
  TAlphaImage(const TAlphaImage&) = delete;
  TAlphaImage& operator=(const TAlphaImage&) = delete;
  virtual ~TAlphaImage() = default;

  // The first pixel of a row: 4 bytes a pixel, blue, green, red and an unused
  // byte. Null when the image has no readable pixels for that row.
  virtual const std::uint8_t* ScanLine(int row) const;
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  virtual bool IsTransparent() const;
  // Draws the part `src` of the image (image coordinates) into `dest`.
  virtual void Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const;
  // The opaque part of the image drawn in `rect`, relative to the rectangle's
  // top-left corner; none when the image does not shape windows.
  virtual std::optional<platform::TRegion> CreateRegion(const TRect& rect) const;

 protected:
  bool Transparent = false;
  int Width = 0;
  int Height = 0;
};

// A bitmap as a drawable. The bitmap is not owned and must outlive the image.
class TAlphaBMPImage : public TAlphaImage {
 public:
  explicit TAlphaBMPImage(const platform::TBitmap& bitmap);

  const std::uint8_t* ScanLine(int row) const override;
  void Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const override;

 private:
  const platform::TBitmap* Bitmap;
};

// A drawable that changes another one. It takes its size from the inner image
// once, at creation, and forwards everything it does not change.
class TAlphaImageEffect : public TAlphaImage {
 public:
  // Wraps an image it owns; a null image is replaced by the error image.
  explicit TAlphaImageEffect(std::unique_ptr<TAlphaImage> inner);

  const std::uint8_t* ScanLine(int row) const override;
  bool IsTransparent() const override;
  void Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const override;
  std::optional<platform::TRegion> CreateRegion(const TRect& rect) const override;

  const TAlphaImage& GetInner() const { return *Inner; }
  bool OwnsInner() const { return OwnedInner != nullptr; }

 protected:
  // Wraps an image owned elsewhere, which must outlive the effect.
  explicit TAlphaImageEffect(const TAlphaImage& inner);

  const TAlphaImage* Inner;

 private:
  std::unique_ptr<TAlphaImage> OwnedInner;
};

// A rectangle cut out of another drawable (a cell of a skin image area). It
// never owns the image it cuts from.
class TAlphaImageRegion : public TAlphaImageEffect {
 public:
  // `rect` is in the inner image's coordinates.
  TAlphaImageRegion(const TAlphaImage& inner, const TRect& rect);

  // Null unless the whole row of the rectangle lies inside the inner image.
  const std::uint8_t* ScanLine(int row) const override;
  // A rectangle with a negative extent is an empty image.
  int GetWidth() const override;
  int GetHeight() const override;
  void Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const override;

  TRect GetRect() const { return TRect{Left, Top, Right, Bottom}; }

 private:
  int Left;
  int Top;
  int Right;
  int Bottom;
};

// What is drawn in place of a missing image: a black box with a red border
// and a red cross, so that a wrong index in a skin shows.
class TErrorAlphaImage : public TAlphaImage {
 public:
  void Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const override;
};

// Draws the whole image scaled into `dest`: the drawing entry of the controls.
void DrawImage(const TAlphaImage& image, platform::TCanvas& canvas, const TRect& dest);

// The indexed cells of one skin image area. Asking for an index it does not
// have gives the error image instead of failing.
class TImagePack {
 public:
  // Replaces one item; may wrap it in an effect that takes it over.
  using TItemFunction = std::function<std::unique_ptr<TAlphaImage>(std::unique_ptr<TAlphaImage>)>;

  // `source` is not owned and must outlive the pack. The pack starts with
  // one cell covering the whole source.
  explicit TImagePack(const TAlphaImage& source);
  TImagePack(const TImagePack&) = delete;
  TImagePack& operator=(const TImagePack&) = delete;
  virtual ~TImagePack() = default;

  int Count() const { return static_cast<int>(Items.size()); }
  // Never fails: a bad index (or an emptied slot) gives the error image.
  const TAlphaImage& Item(int index) const;
  const TErrorAlphaImage& GetErrorImage() const { return ErrorImage; }
  const TAlphaImage& GetSource() const { return *Source; }

  // Appends a cell of the source; `rect` is in the source's coordinates.
  void AddRegion(const TRect& rect);
  void Add(std::unique_ptr<TAlphaImage> image);
  void Clear();
  void ResetToWhole();
  // Replaces every item, in index order, by fn(item). A null result leaves
  // the slot empty, which then reads as the error image.
  void Apply(const TItemFunction& fn);
  // Re-cuts the pack into the glyphs that the bottom row of the source marks.
  void SplitByUnderline();

  // Those of item 0 when the pack has items, else those of the source.
  int GetWidth() const;
  int GetHeight() const;

 private:
  TErrorAlphaImage ErrorImage;
  const TAlphaImage* Source;
  std::vector<std::unique_ptr<TAlphaImage>> Items;
};

}  // namespace skin
