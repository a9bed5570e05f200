#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Font.h"
#include "platform/Menu.h"
#include "platform/Types.h"
#include "skin/AlphaImage.h"

namespace app {
class TEntityManager;
}
namespace platform {
class TCanvas;
}

// The named resources of a skin (colours, fonts, images, menus, macros),
// built from the direct children of its root element and looked up by id.
namespace skin {

class TXMLNode;
class TStreamPack;
class TSkinResManager;

enum TSkinResKind : std::uint8_t {
  rkColor = 0,
  rkFont = 1,
  rkImage = 2,
  rkMenu = 3,
  rkMacros = 4,
};

class TSkinResource {
 public:
  explicit TSkinResource(TSkinResManager& manager, std::uint8_t kind)
      : Kind(kind), Manager(&manager) {}
  virtual ~TSkinResource() = default;
  TSkinResource(const TSkinResource&) = delete;
  TSkinResource& operator=(const TSkinResource&) = delete;

  // Reads the element; the base takes the id.
  virtual void Load(const TXMLNode& node, TStreamPack& pack);

  std::string Id;
  std::uint8_t Kind;
  TSkinResManager* Manager;
};

class TSkinResColor : public TSkinResource {
 public:
  static constexpr std::uint8_t kKind = rkColor;
  explicit TSkinResColor(TSkinResManager& manager) : TSkinResource(manager, rkColor) {}
  TSkinResColor(TSkinResManager& manager, std::string id, platform::TColor color)
      : TSkinResource(manager, rkColor), Color(color) {
    Id = std::move(id);
  }
  void Load(const TXMLNode& node, TStreamPack& pack) override;

  platform::TColor Color = 0;
};

// A system font (face, size, bold) or a pattern font: glyphs cut from an
// image by its underline, one per character of Symbols.
class TSkinResFont : public TSkinResource {
 public:
  static constexpr std::uint8_t kKind = rkFont;
  explicit TSkinResFont(TSkinResManager& manager) : TSkinResource(manager, rkFont) {}
  void Load(const TXMLNode& node, TStreamPack& pack) override;

  // A pattern font draws each character's glyph at its own size, one pixel
  // apart, from the rectangle's top-left corner.
  void DrawText(platform::TCanvas& canvas, const platform::TRect& rect,
                std::string_view text) const;
  // The width DrawText covers (at most kMaxTextWidth); a system font
  // measures in the canvas's font.
  int TextWidth(platform::TCanvas& canvas, std::string_view text) const;

  static constexpr int kMaxTextWidth = 1 << 24;

  std::string Symbols;
  std::unique_ptr<TImagePack> Glyphs;
  bool IsSystem = false;
  platform::TFont Font;

 private:
  const TAlphaImage& Glyph(char c) const;
};

// An image pack named after the AREA it was cut from; the unnamed first pack
// of an image covers the whole bitmap.
class TNamedImagePack : public TImagePack {
 public:
  TNamedImagePack(const TAlphaImage& source, std::string name)
      : TImagePack(source), Name(std::move(name)) {}
  std::string Name;
};

class TSkinResImage : public TSkinResource {
 public:
  static constexpr std::uint8_t kKind = rkImage;
  explicit TSkinResImage(TSkinResManager& manager) : TSkinResource(manager, rkImage) {}
  void Load(const TXMLNode& node, TStreamPack& pack) override;

  // The first area of that name ignoring case; the whole-bitmap pack for an
  // empty or unknown name; null when the image failed to load.
  TNamedImagePack* GetArea(std::string_view name) const;

  // Images of the same file share one decoded bitmap; no image changes it.
  std::shared_ptr<const platform::TBitmap> Bitmap;
  std::unique_ptr<TAlphaBMPImage> Image;
  // Filled by Load, which also indexes them by name.
  std::vector<std::unique_ptr<TNamedImagePack>> Areas;
  std::string FileName;

 private:
  void ReadBitmap(TStreamPack& pack);
  void LoadArea(const TXMLNode& area);
  void AddGridCells(TNamedImagePack& pack, const TXMLNode& area) const;

  // The first area of each name, by its name in lower case.
  std::unordered_map<std::string, TNamedImagePack*> areaIndex_;
};

// A menu item that runs an entity command and shows the key bound to it.
struct TEntMenuItem {
  platform::TMenuItem* Item = nullptr;  // owned by the menu
  std::string Link;
  std::string KeyText;
};

class TSkinResMenu : public TSkinResource {
 public:
  static constexpr std::uint8_t kKind = rkMenu;
  explicit TSkinResMenu(TSkinResManager& manager);
  void Load(const TXMLNode& node, TStreamPack& pack) override;

  std::string Section;
  std::string BGColor;
  std::unique_ptr<platform::TPopupMenu> Menu;
  // Every item of the menu and its submenus, depth first.
  std::vector<std::unique_ptr<TEntMenuItem>> Items;

  // The menu's hooks, public so that tests can call them without a screen.
  void OnPopup();
  void MeasureItem(const TEntMenuItem& item, platform::TCanvas& canvas, int& width,
                   int& height) const;
  void DrawItem(const TEntMenuItem& item, platform::TCanvas& canvas, const platform::TRect& rect,
                bool selected) const;
  void ClickItem(const TEntMenuItem& item) const;

 private:
  void AddItems(platform::TMenuItem& parent, const TXMLNode& node);
};

class TSkinResMacros : public TSkinResource {
 public:
  static constexpr std::uint8_t kKind = rkMacros;
  explicit TSkinResMacros(TSkinResManager& manager) : TSkinResource(manager, rkMacros) {}
  void Load(const TXMLNode& node, TStreamPack& pack) override;
  // Executes the commands in order on the entity bus. The macro may be
  // freed by one of them (a skin reload); the rest still run.
  void Run() const;

  std::vector<std::string> Commands;
};

class TSkinResManager {
 public:
  TSkinResManager() = default;
  ~TSkinResManager() { Clear(); }
  TSkinResManager(const TSkinResManager&) = delete;
  TSkinResManager& operator=(const TSkinResManager&) = delete;

  // Builds the resources of the root's direct children; a failing COLOR,
  // FONT, MENU or MACROS element propagates (what came before stays).
  void Load(const TXMLNode& root, TStreamPack& pack);
  // Frees every resource and shared bitmap and renews the skin's budget.
  void Clear();
  // The first resource of that kind whose id equals `id` ignoring case.
  TSkinResource* FindResource(std::uint8_t kind, std::string_view id) const;
  template <class TResource>
  TResource* Find(std::string_view id) const;
  // A colour id or a "#RRGGBB" text; black for an unknown id.
  platform::TColor GetColor(std::string_view text) const;
  // "Image.Area" (or "Image"): the area's pack; null when no such image.
  TImagePack* GetImage(std::string_view id) const;
  void AddStandardColors();

  const std::vector<std::unique_ptr<TSkinResource>>& Resources() const { return resources_; }

  // The budget of the whole skin (limits::kMaxSkinPixels decoded pixels,
  // limits::kMaxSkinCells cells): once something did not fit, every later
  // image is empty and every later AREA or pattern font gets no cells, until
  // the next Clear. Reaching it is logged once.
  bool BudgetReached() const { return budgetReached_; }
  // Charges pixels or cells about to be allocated; false (and the budget
  // counts as reached) when they do not fit in what is left or the budget
  // was reached before.
  bool ReservePixels(std::int64_t pixels);
  bool ReserveCells(std::int64_t cells);

  // The bitmap an earlier image decoded from that file name (ignoring case):
  // null when no image read the file yet; pointing to null when the file
  // could not be decoded.
  const std::shared_ptr<const platform::TBitmap>* SharedBitmap(std::string_view fileName) const;
  // Remembers what reading the file gave (null: a failure); the first one
  // of a name stays.
  void ShareBitmap(std::string_view fileName, std::shared_ptr<const platform::TBitmap> bitmap);

  app::TEntityManager* EntityManager = nullptr;
  // The caption of an entity name in the current language; the name itself
  // while none is set.
  std::function<std::string(std::string_view name)> CaptionOf;
  // The text of the key bound to a command in a key-binding section; empty
  // while none is set.
  std::function<std::string(std::string_view section, std::string_view command)> KeyTextOf;

  std::string Caption(std::string_view name) const;
  std::string KeyText(std::string_view section, std::string_view command) const;

 private:
  void Append(std::unique_ptr<TSkinResource> resource);
  bool Reserve(std::int64_t& used, std::int64_t limit, std::int64_t amount, const char* what);

  std::vector<std::unique_ptr<TSkinResource>> resources_;
  // The first resource of each kind and id: the kind's byte, then the id in
  // lower case.
  std::unordered_map<std::string, TSkinResource*> index_;
  // Decoded bitmaps by file name in lower case.
  std::unordered_map<std::string, std::shared_ptr<const platform::TBitmap>> bitmaps_;
  std::int64_t pixels_ = 0;
  std::int64_t cells_ = 0;
  bool budgetReached_ = false;
};

template <class TResource>
TResource* TSkinResManager::Find(std::string_view id) const {
  return static_cast<TResource*>(FindResource(TResource::kKind, id));
}

}  // namespace skin
