#pragma once

#include <memory>

#include "controls/KestCtl.h"
#include "platform/Window.h"

namespace controls {

class TSkinWindow;

// The borderless top-level window that hosts a skinned window's controls:
// shaped by the background's mask, resized through an invisible band of
// `Resizer` pixels, snapping to the work area while sized.
class TSkinForm : public platform::TWindow {
 public:
  TSkinForm();

  int MinWidth = 50;
  int MinHeight = 50;
  int Resizer = 0;
  TSkinWindow* Window = nullptr;

  // The hit test of a point relative to the form's top-left corner.
  platform::THitTest HitTestAt(platform::TPoint point) const;
  // Adjusts a proposed outer rectangle while an edge is dragged.
  void Sizing(platform::TSizingEdge edge, platform::TRect& rect) const;

 private:
  void Wheel(bool forward);
};

namespace detail {
// Holds the form so that it exists before the control it hosts is built
// and outlives it.
struct TFormHolder {
  TFormHolder();
  // Frees the form once the controls are gone and closes the window's log
  // lines.
  ~TFormHolder();
  std::unique_ptr<TSkinForm> FormPtr;
};
}  // namespace detail

// The root control of a skinned window; it owns the form it lives in.
class TSkinWindow : private detail::TFormHolder, public TKestControl {
 public:
  // `owner` is null for a window built on its own (the usual case); a
  // WINDOW element nested in another window still gets a form of its own.
  explicit TSkinWindow(TKestControl* owner);
  ~TSkinWindow() override;

  void LoadFromXML(const skin::TXMLNode& element) override;

  // Shows the form modally; returns once it is closed.
  void ShowModal();
  // Ends the modal loop, or hides the form.
  void Close();

  TSkinForm& Form() { return *FormPtr; }
  const TSkinForm& Form() const { return *FormPtr; }

 protected:
  void ApplyShape(const platform::TRegion& shape) override;
  platform::THitTest HitTest(platform::TPoint screen) override;
};

}  // namespace controls
