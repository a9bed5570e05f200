#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Window.h"

// The standard list box control (Win32 LISTBOX): a single-selection list of
// texts inside a parent window. Layout, visibility and bounds work as for
// every child window; the background is the window's colour.
namespace platform {

class TListBox : public TWindowBase {
 public:
  explicit TListBox(TWindowBase& parent);
  ~TListBox() override;

  // Adds a text; a sorted list inserts it in order (ignoring ASCII case,
  // after equal texts). Returns its index.
  int Add(const std::string& text);
  void Clear();
  int Count() const;
  std::string Item(int index) const;  // empty outside the list
  std::vector<std::string> Items() const;

  // The selected index, -1 for none; an index outside the list selects
  // nothing. Setting it never runs OnClick.
  int ItemIndex() const;
  void SetItemIndex(int index);

  // A sorted list keeps its texts in order; switching it on sorts them.
  bool Sorted() const;
  void SetSorted(bool sorted);

  void SetFontColor(TColor color);
  // A flat one-pixel border instead of the sunken frame.
  void SetFlatBorder(bool flat);
  // Whether items show tooltips (their full text when it is cut off).
  void SetShowHints(bool show);

  // The user chose an item with the mouse or the keyboard (LBN_SELCHANGE).
  std::function<void()> OnClick;

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

}  // namespace platform
