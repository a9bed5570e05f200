#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/Types.h"

// Popup menus (Win32 CreatePopupMenu, TrackPopupMenu) whose items may be
// owner-drawn (WM_MEASUREITEM, WM_DRAWITEM).
namespace platform {

class TCanvas;

class TMenuItem {
 public:
  TMenuItem() = default;
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;

  // Shown when the item is not owner-drawn.
  std::string Caption;
  // A separator is never selected nor clicked (it is still measured and
  // drawn by its hooks when it has them).
  bool Separator = false;
  bool Enabled = true;

  // Owner drawing: an item with OnDraw is drawn by it. OnMeasure sets the
  // item's size; the canvas carries the menu's default font for measuring.
  // OnDraw paints the item into a canvas of exactly its size: rect is
  // (0, 0, width, height); selected is true while the item is highlighted.
  std::function<void(TCanvas& canvas, int& width, int& height)> OnMeasure;
  std::function<void(TCanvas& canvas, const TRect& rect, bool selected)> OnDraw;
  std::function<void()> OnClick;

  // The submenu: an item with children opens it.
  TMenuItem& Add();
  void Clear();
  const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return items_; }

 private:
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

class TPopupMenu {
 public:
  TPopupMenu();
  ~TPopupMenu();
  TPopupMenu(const TPopupMenu&) = delete;
  TPopupMenu& operator=(const TPopupMenu&) = delete;

  TMenuItem& Add() { return root_.Add(); }
  void Clear() { root_.Clear(); }
  const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return root_.Items(); }

  // Runs just before the menu opens (captions may be set here).
  std::function<void()> OnPopup;

  // Opens the menu with its top-left corner at the screen point and returns
  // when it has closed; the chosen item's OnClick runs after it closed.
  void Popup(TPoint screen);
  bool IsOpen() const;
  // Closes the open menu; no item is chosen.
  void Close();
  // Where the open menu shows its top-level items (an item of no height
  // gives an empty rectangle), in the menu's own pixels; empty while closed.
  std::vector<TRect> ItemRects() const;

  // The font menus are drawn with.
  static TFont DefaultFont();

 private:
  struct TImpl;
  TMenuItem root_;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace platform
