#include "skin/KestRes.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <string>
#include <utility>

#include "app/Entities.h"
#include "app/MultiLog.h"
#include "app/TextUtil.h"
#include "platform/Bmp.h"
#include "platform/Canvas.h"
#include "platform/Stream.h"
#include "platform/SysColors.h"
#include "skin/ImageEffect.h"
#include "skin/KestUtil.h"
#include "skin/Limits.h"
#include "skin/StreamPack.h"
#include "skin/XML.h"

namespace skin {

namespace {

using platform::TCanvas;
using platform::TColor;
using platform::TRect;

// The dimensions of the drawn text of a menu item.
constexpr int kMenuTextGap = 32;
constexpr int kMenuExtraHeight = 7;
constexpr int kSeparatorHeight = 3;
constexpr int kMenuStripWidth = 20;
constexpr int kMenuTextLeft = 22;
constexpr int kMenuTextTop = 3;
constexpr int kMenuKeyRightGap = 5;

struct TStandardColor {
  const char* Id;
  std::uint32_t Rgb;
};

constexpr TStandardColor kStandardColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x800000},  {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},   {"Purple", 0x800080},  {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},     {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF},
};

TColor SwapRgb(std::uint32_t rgb) {
  return platform::RGB(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                       static_cast<std::uint8_t>(rgb));
}

// The cell in `column` and `row` of a grid whose cells are `size` apart
// plus a one-pixel gap. Far-off cells saturate instead of overflowing.
TRect CellRect(platform::TPoint pos, platform::TPoint size, int column, int row) {
  const auto coordinate = [](std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, -(1 << 30), 1 << 30));
  };
  const int left = coordinate(pos.X + std::int64_t{column} * (std::int64_t{size.X} + 1));
  const int top = coordinate(pos.Y + std::int64_t{row} * (std::int64_t{size.Y} + 1));
  return TRect{left, top, coordinate(std::int64_t{left} + size.X),
               coordinate(std::int64_t{top} + size.Y)};
}

bool IsTag(const TXMLNode& node, std::string_view tag) { return app::SameText(node.Name, tag); }

std::int64_t ReadU16(const std::uint8_t* bytes) { return bytes[0] | bytes[1] << 8; }

std::int64_t ReadS32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) | bytes[1] << 8 |
                                   bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}

// The pixels decoding the picture in `stream` may cost: the size its header
// states when the decoder would accept that size (it refuses any other before
// allocating, and any picture that does not match it), or the bytes of the
// file at 4 a pixel, whichever is more. The stream is left where it was.
std::int64_t PictureCost(platform::TStream& stream) {
  constexpr std::int64_t kHeadBytes = 26;  // file header, header size, width, height
  const std::int64_t start = stream.GetPosition();
  std::uint8_t head[kHeadBytes] = {};
  const std::int64_t got = stream.Read(head, kHeadBytes);
  stream.SetPosition(start);
  std::int64_t pixels = 0;
  if (got == kHeadBytes && head[0] == 'B' && head[1] == 'M') {
    const bool core = ReadS32(head + 14) == 12;
    const std::int64_t width = core ? ReadU16(head + 18) : ReadS32(head + 18);
    const std::int64_t height = std::abs(core ? ReadU16(head + 20) : ReadS32(head + 22));
    const bool accepted = width > 0 && height > 0 && width <= platform::kMaxBmpSide &&
                          height <= platform::kMaxBmpSide &&
                          width * height <= platform::kMaxBmpPixels;
    if (accepted) pixels = width * height;
  }
  const std::int64_t bytes = std::max<std::int64_t>(0, stream.GetSize() - start);
  return std::max(pixels, (bytes + 3) / 4);
}

// The effects an AREA wraps each of its cells in, read once for all cells.
struct TAreaEffects {
  bool Masked = false;
  TColor MaskColor = 0;
  std::string Resize;
  platform::TPoint Center;
};

TAreaEffects ReadAreaEffects(const TXMLNode& area, const TSkinResManager& manager) {
  TAreaEffects effects;
  const std::string mask = area.GetAttr("mask");
  effects.Masked = app::SameText(PairField(mask, 0), "Color");
  if (effects.Masked) effects.MaskColor = manager.GetColor(PairField(mask, 1));
  effects.Resize = area.GetAttr("resize");
  const platform::TPoint size = ParsePair(area.GetAttr("size"), 10, 10);
  effects.Center = ParsePair(area.GetAttr("center"), size.X / 2, size.Y / 2);
  return effects;
}

// The cell inside a mask, inside a resize effect: each wrapper owns what it
// wraps.
std::unique_ptr<TAlphaImage> WrapCell(const TAreaEffects& effects,
                                      std::unique_ptr<TAlphaImage> cell) {
  if (effects.Masked) {
    auto masked = std::make_unique<TAlphedImage>(std::move(cell));
    masked->SetMaskColor(effects.MaskColor);
    cell = std::move(masked);
  }
  if (app::SameText(effects.Resize, "Stretch"))
    return std::make_unique<TStretchedImage>(std::move(cell));
  if (app::SameText(effects.Resize, "Tile")) return std::make_unique<TTiledImage>(std::move(cell));
  if (app::SameText(effects.Resize, "Split")) {
    auto split = std::make_unique<TCenterSplitImage>(std::move(cell));
    split->CenterX = effects.Center.X;
    split->CenterY = effects.Center.Y;
    return split;
  }
  return cell;
}

}  // namespace

// ---- resources ----------------------------------------------------------

void TSkinResource::Load(const TXMLNode& node, TStreamPack&) { Id = node.GetAttr("id"); }

void TSkinResColor::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  Color = HexToColor(node.GetAttr("RGB"));
}

void TSkinResFont::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  if (app::SameText(node.GetAttr("type"), "System")) {
    IsSystem = true;
    Font.Family = node.GetAttr("family");
    Font.Size = StrToIntDefault(node.GetAttr("size"), 8);
    Font.Bold = app::SameText(node.GetAttr("style"), "Bold");
    return;
  }
  Symbols = node.GetAttr("symbols");
  TImagePack* pattern = Manager->GetImage(node.GetAttr("pattern"));
  // Past the skin's budget a pattern font gets no glyphs and draws nothing.
  if (!pattern || Manager->BudgetReached()) return;
  Glyphs = std::make_unique<TImagePack>(pattern->Item(0));
  Glyphs->SplitByUnderline();
  if (!Manager->ReserveCells(Glyphs->Count())) Glyphs.reset();
}

const TAlphaImage& TSkinResFont::Glyph(char c) const {
  // The last occurrence counts; a character missing from the symbols takes
  // glyph 0.
  const std::size_t found = Symbols.rfind(c);
  return Glyphs->Item(found == std::string::npos ? 0 : static_cast<int>(found));
}

void TSkinResFont::DrawText(TCanvas& canvas, const TRect& rect, std::string_view text) const {
  if (IsSystem) {
    canvas.Font = Font;
    canvas.TextRect(rect, rect.Left, rect.Top, text);
    return;
  }
  if (!Glyphs) return;
  int x = rect.Left;
  for (char c : text) {
    const TAlphaImage& glyph = Glyph(c);
    const int width = glyph.GetWidth();
    DrawImage(glyph, canvas, TRect{x, rect.Top, x + width, rect.Top + glyph.GetHeight()});
    x += width + 1;
  }
}

int TSkinResFont::TextWidth(TCanvas& canvas, std::string_view text) const {
  if (IsSystem) return canvas.TextWidth(text);
  if (!Glyphs || text.empty()) return 0;
  // What DrawText covers: each glyph and a pixel between neighbours. In 64
  // bits, capped far beyond any control: a text may be of any length.
  std::int64_t width = -1;
  for (char c : text) {
    width += std::int64_t{Glyph(c).GetWidth()} + 1;
    if (width > kMaxTextWidth) return kMaxTextWidth;
  }
  return static_cast<int>(width);
}

// ---- images -------------------------------------------------------------

void TSkinResImage::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  FileName = node.GetAttr("file");
  try {
    ReadBitmap(pack);
    Image = std::make_unique<TAlphaBMPImage>(*Bitmap);
    Areas.push_back(std::make_unique<TNamedImagePack>(*Image, std::string()));
    for (std::size_t i = 0; i < node.ChildCount(); ++i) {
      const TXMLNode& child = *node.Child(i);
      if (IsTag(child, "Area")) LoadArea(child);
    }
  } catch (const std::exception&) {
    // A broken image leaves what was built so far; the skin goes on.
  }
}

// A file read before is not read again: its bitmap is shared, its failure
// repeated. A file the pack cannot open, or one past the skin's budget,
// gives an empty bitmap.
void TSkinResImage::ReadBitmap(TStreamPack& pack) {
  if (const auto* shared = Manager->SharedBitmap(FileName)) {
    if (!*shared) throw platform::EImageError("\"" + FileName + "\" is no readable picture");
    Bitmap = *shared;
    return;
  }
  if (!Manager->ReservePixels(limits::kMinFilePixels)) {
    Bitmap = std::make_shared<const platform::TBitmap>();
    return;
  }
  std::unique_ptr<platform::TStream> stream = pack.OpenStream(FileName);
  if (stream && !Manager->ReservePixels(
                    std::max<std::int64_t>(0, PictureCost(*stream) - limits::kMinFilePixels))) {
    Bitmap = std::make_shared<const platform::TBitmap>();
    return;
  }
  try {
    Bitmap = stream ? std::make_shared<const platform::TBitmap>(platform::LoadBmp(*stream))
                    : std::make_shared<const platform::TBitmap>();
  } catch (const std::exception&) {
    Manager->ShareBitmap(FileName, nullptr);
    throw;
  }
  Manager->ShareBitmap(FileName, Bitmap);
}

void TSkinResImage::LoadArea(const TXMLNode& area) {
  auto pack = std::make_unique<TNamedImagePack>(*Image, area.GetAttr("id"));
  pack->Clear();
  // Glyphs are cut from the whole bitmap: a grid would only be discarded.
  if (!app::SameText(area.GetAttr("split"), "Underline")) {
    AddGridCells(*pack, area);
  } else if (!Manager->BudgetReached()) {
    pack->SplitByUnderline();
    if (!Manager->ReserveCells(pack->Count())) pack->Clear();
  }
  const TAreaEffects effects = ReadAreaEffects(area, *Manager);
  pack->Apply(
      [&](std::unique_ptr<TAlphaImage> cell) { return WrapCell(effects, std::move(cell)); });
  if (!pack->Name.empty()) areaIndex_.emplace(app::AsciiLowerCase(pack->Name), pack.get());
  Areas.push_back(std::move(pack));
}

// The "repeat" grid; none when it has no column or row, describes more than
// limits::kMaxAreaCells cells or does not fit in the skin's budget.
void TSkinResImage::AddGridCells(TNamedImagePack& pack, const TXMLNode& area) const {
  const platform::TPoint repeat = ParsePair(area.GetAttr("repeat"), 1, 1);
  const platform::TPoint pos = ParsePair(area.GetAttr("pos"), 0, 0);
  const platform::TPoint size = ParsePair(area.GetAttr("size"), 10, 10);
  if (repeat.X < 1 || repeat.Y < 1) return;
  const std::int64_t cells = static_cast<std::int64_t>(repeat.X) * repeat.Y;
  if (cells > limits::kMaxAreaCells || !Manager->ReserveCells(cells)) return;
  for (int row = 0; row < repeat.Y; ++row) {
    for (int column = 0; column < repeat.X; ++column) {
      pack.AddRegion(CellRect(pos, size, column, row));
    }
  }
}

TNamedImagePack* TSkinResImage::GetArea(std::string_view name) const {
  if (Areas.empty()) return nullptr;
  if (!name.empty()) {
    const auto found = areaIndex_.find(app::AsciiLowerCase(name));
    if (found != areaIndex_.end()) return found->second;
  }
  return Areas.front().get();
}

// ---- menus --------------------------------------------------------------

TSkinResMenu::TSkinResMenu(TSkinResManager& manager)
    : TSkinResource(manager, rkMenu), Menu(std::make_unique<platform::TPopupMenu>()) {}

void TSkinResMenu::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  Menu->Clear();
  Items.clear();
  Menu->OnPopup = [this] { OnPopup(); };
  for (std::size_t i = 0; i < node.ChildCount(); ++i) {
    const TXMLNode& child = *node.Child(i);
    platform::TMenuItem& item = Menu->Add();
    AddItems(item, child);
  }
  BGColor = node.GetAttr("bgcolor");
}

// Fills `item` from its element and adds the element's children as its
// submenu.
void TSkinResMenu::AddItems(platform::TMenuItem& item, const TXMLNode& node) {
  auto entry = std::make_unique<TEntMenuItem>();
  TEntMenuItem* record = entry.get();
  record->Item = &item;
  record->Link = node.GetAttr("link");
  item.Caption.assign(1, '-');  // a separator until a caption is set
  item.Separator = record->Link.empty();
  item.OnClick = [this, record] { ClickItem(*record); };
  item.OnMeasure = [this, record](TCanvas& canvas, int& width, int& height) {
    MeasureItem(*record, canvas, width, height);
  };
  item.OnDraw = [this, record](TCanvas& canvas, const TRect& rect, bool selected) {
    DrawItem(*record, canvas, rect, selected);
  };
  Items.push_back(std::move(entry));
  for (std::size_t i = 0; i < node.ChildCount(); ++i) AddItems(item.Add(), *node.Child(i));
}

void TSkinResMenu::OnPopup() {
  Section = "Main";
  for (const auto& entry : Items) {
    if (entry->Link.empty()) continue;
    entry->Item->Caption = Manager->Caption(entry->Link);
    entry->KeyText = Manager->KeyText(Section, entry->Link);
  }
}

void TSkinResMenu::MeasureItem(const TEntMenuItem& item, TCanvas& canvas, int& width,
                               int& height) const {
  const std::string& caption = item.Item->Caption;
  if (caption == "-") {
    height = kSeparatorHeight;
    return;
  }
  width = canvas.TextWidth(caption) + canvas.TextWidth(item.KeyText) + kMenuTextGap;
  height = canvas.TextHeight(caption + item.KeyText) + kMenuExtraHeight;
}

void TSkinResMenu::DrawItem(const TEntMenuItem& item, TCanvas& canvas, const TRect& rect,
                            bool selected) const {
  using platform::SystemColor;
  using platform::TSystemColor;
  canvas.Font = platform::TPopupMenu::DefaultFont();
  const TColor background =
      BGColor.empty() ? SystemColor(TSystemColor::ButtonFace) : Manager->GetColor(BGColor);
  const TColor workspace = SystemColor(TSystemColor::AppWorkspace);
  if (selected) {
    canvas.FillRect(rect, SystemColor(TSystemColor::Highlight));
  } else {
    canvas.FillRect(TRect{rect.Left, rect.Top, rect.Left + kMenuStripWidth, rect.Bottom},
                    workspace);
    canvas.FillRect(TRect{rect.Left + kMenuStripWidth, rect.Top, rect.Right, rect.Bottom},
                    background);
  }
  if (item.Item->Caption == "-") {
    canvas.FillRect(TRect{rect.Left, rect.Top + 1, rect.Right, rect.Bottom - 1}, workspace);
    return;
  }
  if (item.Link.empty()) return;
  canvas.TextOut(rect.Left + kMenuTextLeft, rect.Top + kMenuTextTop, item.Item->Caption);
  canvas.TextOut(rect.Right - kMenuKeyRightGap - canvas.TextWidth(item.KeyText),
                 rect.Top + kMenuTextTop, item.KeyText);
}

void TSkinResMenu::ClickItem(const TEntMenuItem& item) const {
  app::TEntityManager* bus = Manager->EntityManager;
  if (item.Link.empty() || !bus) return;
  // The command may load another skin and free this item.
  const std::string link = item.Link;
  bus->Execute(link);
}

// ---- macros -------------------------------------------------------------

void TSkinResMacros::Load(const TXMLNode& node, TStreamPack& pack) {
  TSkinResource::Load(node, pack);
  Commands.clear();
  for (char digit = '1'; digit <= '9'; ++digit) {
    std::string command = node.GetAttr(std::string("do") + digit);
    if (!command.empty()) Commands.push_back(std::move(command));
  }
}

void TSkinResMacros::Run() const {
  app::TEntityManager* bus = Manager->EntityManager;
  if (!bus) return;
  // A command may load another skin and so free this macro: run a copy.
  const std::vector<std::string> commands = Commands;
  for (const std::string& command : commands) bus->Execute(command);
}

// ---- manager ------------------------------------------------------------

void TSkinResManager::Load(const TXMLNode& root, TStreamPack& pack) {
  app::Log("+TSkinResManager.Load");
  AddStandardColors();
  for (std::size_t i = 0; i < root.ChildCount(); ++i) {
    const TXMLNode& child = *root.Child(i);
    std::unique_ptr<TSkinResource> resource;
    if (IsTag(child, "COLOR"))
      resource = std::make_unique<TSkinResColor>(*this);
    else if (IsTag(child, "FONT"))
      resource = std::make_unique<TSkinResFont>(*this);
    else if (IsTag(child, "MENU"))
      resource = std::make_unique<TSkinResMenu>(*this);
    else if (IsTag(child, "IMAGE"))
      resource = std::make_unique<TSkinResImage>(*this);
    else if (IsTag(child, "MACROS"))
      resource = std::make_unique<TSkinResMacros>(*this);
    if (!resource) continue;
    resource->Load(child, pack);
    Append(std::move(resource));
  }
  app::Log("-TSkinResManager.Load");
}

void TSkinResManager::Clear() {
  resources_.clear();
  index_.clear();
  bitmaps_.clear();
  pixels_ = 0;
  cells_ = 0;
  budgetReached_ = false;
}

namespace {

std::string ResourceKey(std::uint8_t kind, std::string_view id) {
  return static_cast<char>(kind) + app::AsciiLowerCase(id);
}

}  // namespace

void TSkinResManager::Append(std::unique_ptr<TSkinResource> resource) {
  index_.emplace(ResourceKey(resource->Kind, resource->Id), resource.get());
  resources_.push_back(std::move(resource));
}

TSkinResource* TSkinResManager::FindResource(std::uint8_t kind, std::string_view id) const {
  const auto found = index_.find(ResourceKey(kind, id));
  return found == index_.end() ? nullptr : found->second;
}

bool TSkinResManager::ReservePixels(std::int64_t pixels) {
  return Reserve(pixels_, limits::kMaxSkinPixels, pixels, "decoded pixels");
}

bool TSkinResManager::ReserveCells(std::int64_t cells) {
  return Reserve(cells_, limits::kMaxSkinCells, cells, "image cells");
}

bool TSkinResManager::Reserve(std::int64_t& used, std::int64_t limit, std::int64_t amount,
                              const char* what) {
  if (budgetReached_) return false;
  if (amount >= 0 && amount <= limit - used) {
    used += amount;
    return true;
  }
  budgetReached_ = true;
  app::Log("TSkinResManager: the skin's budget of " + std::to_string(limit) + " " + what +
           " is reached; later images are empty");
  return false;
}

const std::shared_ptr<const platform::TBitmap>* TSkinResManager::SharedBitmap(
    std::string_view fileName) const {
  const auto found = bitmaps_.find(app::AsciiLowerCase(fileName));
  return found == bitmaps_.end() ? nullptr : &found->second;
}

void TSkinResManager::ShareBitmap(std::string_view fileName,
                                  std::shared_ptr<const platform::TBitmap> bitmap) {
  bitmaps_.emplace(app::AsciiLowerCase(fileName), std::move(bitmap));
}

std::string TSkinResManager::Caption(std::string_view name) const {
  return CaptionOf ? CaptionOf(name) : std::string(name);
}

std::string TSkinResManager::KeyText(std::string_view section, std::string_view command) const {
  return KeyTextOf ? KeyTextOf(section, command) : std::string();
}

TColor TSkinResManager::GetColor(std::string_view text) const {
  if (!text.empty() && text.front() == '#') return HexToColor(text);
  const auto* color = Find<TSkinResColor>(text);
  return color ? color->Color : 0;
}

TImagePack* TSkinResManager::GetImage(std::string_view id) const {
  const std::size_t dot = id.find('.');
  const std::string_view imageId = id.substr(0, dot);
  const std::string_view areaId =
      dot == std::string_view::npos ? std::string_view() : id.substr(dot + 1);
  const auto* image = Find<TSkinResImage>(imageId);
  return image ? image->GetArea(areaId) : nullptr;
}

void TSkinResManager::AddStandardColors() {
  for (const TStandardColor& color : kStandardColors) {
    Append(std::make_unique<TSkinResColor>(*this, color.Id, SwapRgb(color.Rgb)));
  }
}

}  // namespace skin
