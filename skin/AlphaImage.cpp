#include "skin/AlphaImage.h"

#include <algorithm>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace skin {

namespace {

constexpr platform::TColor kErrorRed = platform::RGB(255, 0, 0);
constexpr platform::TColor kErrorBlack = platform::RGB(0, 0, 0);

// The blue, green and red bytes of a pixel as a platform colour value.
platform::TColor PixelColor(const std::uint8_t* pixel) {
  return platform::RGB(pixel[2], pixel[1], pixel[0]);
}

TRect Shifted(const TRect& rect, int dx, int dy) {
  return TRect{rect.Left + dx, rect.Top + dy, rect.Right + dx, rect.Bottom + dy};
}

}  // namespace

// --- TAlphaImage ---

const std::uint8_t* TAlphaImage::ScanLine(int /*row*/) const { return nullptr; }
int TAlphaImage::GetWidth() const { return Width; }
int TAlphaImage::GetHeight() const { return Height; }
bool TAlphaImage::IsTransparent() const { return Transparent; }
void TAlphaImage::Draw(const TRect& /*dest*/, platform::TCanvas& /*canvas*/,
                       const TRect& /*src*/) const {}
std::optional<platform::TRegion> TAlphaImage::CreateRegion(const TRect& /*rect*/) const {
  return std::nullopt;
}

// --- TAlphaBMPImage ---

TAlphaBMPImage::TAlphaBMPImage(const platform::TBitmap& bitmap) : Bitmap(&bitmap) {
  Width = bitmap.Width();
  Height = bitmap.Height();
  Transparent = bitmap.IsTransparent();
}

const std::uint8_t* TAlphaBMPImage::ScanLine(int row) const {
  // A bitmap changed since the image was made must not be read past its rows.
  if (row < 0 || row >= Height || row >= Bitmap->Height() || Bitmap->Width() < Width) {
    return nullptr;
  }
  return Bitmap->ScanLine(row);
}

void TAlphaBMPImage::Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const {
  canvas.CopyRect(dest, *Bitmap, src);
}

// --- TAlphaImageEffect ---

// An effect of nothing (an emptied pack slot) stands for the error image.
TAlphaImageEffect::TAlphaImageEffect(std::unique_ptr<TAlphaImage> inner)
    : OwnedInner(inner ? std::move(inner) : std::make_unique<TErrorAlphaImage>()) {
  Inner = OwnedInner.get();
  Width = Inner->GetWidth();
  Height = Inner->GetHeight();
}

TAlphaImageEffect::TAlphaImageEffect(const TAlphaImage& inner) : Inner(&inner) {
  Width = Inner->GetWidth();
  Height = Inner->GetHeight();
}

const std::uint8_t* TAlphaImageEffect::ScanLine(int row) const { return Inner->ScanLine(row); }

bool TAlphaImageEffect::IsTransparent() const { return Transparent || Inner->IsTransparent(); }

void TAlphaImageEffect::Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const {
  Inner->Draw(dest, canvas, src);
}

std::optional<platform::TRegion> TAlphaImageEffect::CreateRegion(const TRect& rect) const {
  return Inner->CreateRegion(rect);
}

// --- TAlphaImageRegion ---

TAlphaImageRegion::TAlphaImageRegion(const TAlphaImage& inner, const TRect& rect)
    : TAlphaImageEffect(inner),
      Left(rect.Left),
      Top(rect.Top),
      Right(rect.Right),
      Bottom(rect.Bottom) {}

int TAlphaImageRegion::GetWidth() const { return std::max(0, Right - Left); }
int TAlphaImageRegion::GetHeight() const { return std::max(0, Bottom - Top); }

const std::uint8_t* TAlphaImageRegion::ScanLine(int row) const {
  const bool rowInside = row >= 0 && row < GetHeight() && Top + row < Inner->GetHeight();
  const bool columnsInside = Left >= 0 && Top >= 0 && Right <= Inner->GetWidth();
  if (!rowInside || !columnsInside || GetWidth() == 0) return nullptr;
  const std::uint8_t* line = Inner->ScanLine(row + Top);
  return line == nullptr ? nullptr : line + 4 * static_cast<std::ptrdiff_t>(Left);
}

void TAlphaImageRegion::Draw(const TRect& dest, platform::TCanvas& canvas, const TRect& src) const {
  Inner->Draw(dest, canvas, Shifted(src, Left, Top));
}

// --- TErrorAlphaImage ---

void TErrorAlphaImage::Draw(const TRect& dest, platform::TCanvas& canvas,
                            const TRect& /*src*/) const {
  const platform::TPen savedPen = canvas.Pen;
  const platform::TBrush savedBrush = canvas.Brush;
  const platform::TPoint savedPenPos = canvas.PenPos();
  canvas.FillRect(dest, kErrorBlack);
  canvas.Pen = platform::TPen{kErrorRed, 1, platform::TPenStyle::Solid};
  canvas.Brush.Style = platform::TBrushStyle::Clear;
  canvas.Rectangle(dest);
  canvas.MoveTo(dest.Left, dest.Top);
  canvas.LineTo(dest.Right - 1, dest.Bottom - 1);
  canvas.MoveTo(dest.Left, dest.Bottom - 1);
  canvas.LineTo(dest.Right - 1, dest.Top);
  canvas.Pen = savedPen;
  canvas.Brush = savedBrush;
  canvas.MoveTo(savedPenPos.X, savedPenPos.Y);
}

void DrawImage(const TAlphaImage& image, platform::TCanvas& canvas, const TRect& dest) {
  image.Draw(dest, canvas, TRect{0, 0, image.GetWidth(), image.GetHeight()});
}

// --- TImagePack ---

TImagePack::TImagePack(const TAlphaImage& source) : Source(&source) { ResetToWhole(); }

const TAlphaImage& TImagePack::Item(int index) const {
  if (index < 0 || index >= Count() || Items[index] == nullptr) return ErrorImage;
  return *Items[index];
}

void TImagePack::AddRegion(const TRect& rect) {
  Items.push_back(std::make_unique<TAlphaImageRegion>(*Source, rect));
}

void TImagePack::Add(std::unique_ptr<TAlphaImage> image) { Items.push_back(std::move(image)); }

void TImagePack::Clear() { Items.clear(); }

void TImagePack::ResetToWhole() {
  Clear();
  AddRegion(TRect{0, 0, Source->GetWidth(), Source->GetHeight()});
}

void TImagePack::Apply(const TItemFunction& fn) {
  for (auto& item : Items) item = fn(std::move(item));
}

void TImagePack::SplitByUnderline() {
  Clear();
  const int width = Source->GetWidth();
  const int height = Source->GetHeight();
  const int glyphHeight = std::max(0, height - 2);
  const std::uint8_t* underline = height > 0 ? Source->ScanLine(height - 1) : nullptr;
  // Without a readable underline there are no separators: one glyph.
  const platform::TColor reference = underline ? PixelColor(underline) : 0;
  int start = 0;
  for (int x = 0; x <= width; ++x) {
    const bool separator = x < width && underline && PixelColor(underline + 4 * x) != reference;
    if (x == width || separator) {
      AddRegion(TRect{start, 0, x, glyphHeight});
      start = x + 1;
    }
  }
}

int TImagePack::GetWidth() const { return Items.empty() ? Source->GetWidth() : Item(0).GetWidth(); }

int TImagePack::GetHeight() const {
  return Items.empty() ? Source->GetHeight() : Item(0).GetHeight();
}

}  // namespace skin
