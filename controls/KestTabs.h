#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/KestActCtl.h"
#include "platform/Types.h"

namespace app {
class TStringListEntity;
}

namespace controls {

// The horizontal extent of one tab in client pixels.
struct TTabRect {
  int Left = 0;
  int Right = 0;
  friend bool operator==(const TTabRect&, const TTabRect&) = default;
};

// What both tab strips share: one tab per item of the linked list entity,
// laid out left to right with an overlap, a hot tab under the mouse and a
// selected tab drawn over the others. A press on an unselected tab selects
// it and tells the list's owner (the page container); a press anywhere
// else drags the window. The strips differ in their images, captions and
// the start of the layout.
class TKestTabStrip : public TKestActiveControl {
 public:
  explicit TKestTabStrip(TKestControl& owner);

  // Selects the tab (ignored out of range or when already selected), stores
  // the index in the list and notifies the list's owner.
  void Select(int index);
  // The number of tabs: the items of the list, none without one.
  int TabCount() const;

  // The tab under the mouse, -1 for none.
  int HotTab = -1;
  // The selected tab; changed only by Select.
  int SelTab = 0;
  // The extent of each tab, rebuilt at every paint.
  std::vector<TTabRect> TabRects;
  // Pixels by which a tab overlaps its left neighbour.
  int OverStep = 0;
  // The linked entity when it is a list; not owned.
  app::TStringListEntity* TabList = nullptr;

 protected:
  void EntityChanged(app::TEntityHolder& sender) override;
  void MouseMove(const platform::TMouseEvent& event) override;
  void MouseDown(const platform::TMouseEvent& event) override;
  void MouseLeave() override;
  void HoverChanged() override;
  void Paint(platform::TCanvas& canvas) override;

  // The attributes both strips read.
  void LoadStripAttributes(const skin::TXMLNode& element);
  // The pack named by an attribute; null when the attribute is empty or
  // names nothing.
  skin::TImagePack* FindPack(const skin::TXMLNode& element, const char* attribute) const;

  // Images 0 (normal) and 1 (hot) of the unselected tabs.
  virtual const skin::TImagePack* TabPack() const = 0;
  // The selected tab's image and the image whose centre places its caption;
  // null draws nothing.
  virtual const skin::TAlphaImage* SelectedImage() const = 0;
  virtual const skin::TAlphaImage* SelectedCaptionImage() const = 0;
  // The caption shown for a list item.
  virtual std::string TabCaption(const std::string& item) const = 0;
  // The left edge of the first tab.
  virtual int LayoutStart() const = 0;
  // How far the laid-out tabs are moved, given the extent they span.
  virtual std::int64_t LayoutShift(std::int64_t span) const = 0;
  // The offset of the selected tab's caption.
  virtual platform::TPoint SelectedTextMove() const = 0;

 private:
  // Fills TabRects and returns the caption of each tab.
  std::vector<std::string> Layout(const platform::TCanvas& canvas);
  void UpdateHotTab(int x);
  void DrawTab(platform::TCanvas& canvas, int index, const skin::TAlphaImage& image,
               const skin::TAlphaImage& captionImage, const std::string& caption,
               platform::TPoint textMove);
};

enum class TTabsAlign { Left, Center, Right };

// The tab strip of tag "TABS": one pack for all tabs, translated captions,
// a left margin, centring and a raised caption on the selected tab.
class TKestTabs : public TKestTabStrip {
 public:
  explicit TKestTabs(TKestControl& owner);

  void LoadFromXML(const skin::TXMLNode& element) override;

  // Image 0 normal, 1 under the mouse (with two images or more), 2 selected.
  skin::TImagePack* TabImages = nullptr;
  // x is the left margin of the strip; y is not used.
  platform::TPoint Margins;
  // Right is read but laid out like Left.
  TTabsAlign TabsAlign = TTabsAlign::Left;
  platform::TPoint TextMove{0, -1};

 protected:
  const skin::TImagePack* TabPack() const override { return TabImages; }
  const skin::TAlphaImage* SelectedImage() const override;
  const skin::TAlphaImage* SelectedCaptionImage() const override;
  std::string TabCaption(const std::string& item) const override { return Caption(item); }
  int LayoutStart() const override { return Margins.X; }
  std::int64_t LayoutShift(std::int64_t span) const override;
  platform::TPoint SelectedTextMove() const override { return TextMove; }
};

}  // namespace controls
