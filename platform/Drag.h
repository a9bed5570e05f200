#pragma once

#include <memory>

#include "platform/Bitmap.h"
#include "platform/Types.h"

// Dragging a small picture over a window (Win32 ImageList_BeginDrag,
// ImageList_DragEnter, ImageList_DragMove, ImageList_EndDrag).
namespace platform {

class TWindowBase;

class TDragImage {
 public:
  TDragImage();
  // Ends a drag still in progress.
  ~TDragImage();
  TDragImage(const TDragImage&) = delete;
  TDragImage& operator=(const TDragImage&) = delete;

  // Shows the picture over the window's top-level window with its hot spot
  // at the client point (x, y) of the window. A transparent bitmap leaves its
  // key colour see-through. Any drag in progress ends first.
  void Begin(const TBitmap& picture, TPoint hotSpot, TWindowBase& window, int x, int y);
  // Moves the hot spot to the client point of the window given to Begin.
  void Move(int x, int y);
  void End();
  bool Dragging() const;
  // Where the picture's top-left corner is, in the window's client pixels.
  TPoint Position() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace platform
