#include "games/boards/BoardGeometry.h"

#include "platform/Screen.h"
#include "platform/Window.h"
#include "skin/KestRes.h"
#include "skin/XML.h"

namespace boards {

platform::TPoint SquareUnderCursor(const platform::TWindowBase& window) {
  const platform::TPoint cursor = platform::CursorPos();
  const platform::TRect bounds = window.ScreenRect();
  if (!bounds.Contains(cursor)) return kNoSquare;
  return {(cursor.X - bounds.Left) / kSquareSize, 7 - (cursor.Y - bounds.Top) / kSquareSize};
}

skin::TImagePack* ReadPack(const skin::TSkinResManager* resources, const skin::TXMLNode& element,
                           std::string_view attribute) {
  const std::string id = element.GetAttr(attribute);
  if (id.empty() || resources == nullptr) return nullptr;
  return resources->GetImage(id);
}

}  // namespace boards
