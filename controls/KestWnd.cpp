#include "controls/KestWnd.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/Entities.h"
#include "app/MultiLog.h"
#include "platform/Screen.h"
#include "skin/AlphaImage.h"
#include "skin/KestRes.h"
#include "skin/KestUtil.h"
#include "skin/XML.h"

namespace controls {

namespace {

using platform::THitTest;
using platform::TPoint;

bool Within(int value, int target, int snap) {
  return std::abs(std::int64_t{value} - target) < snap;
}

// Whether a point relative to a window of the given size lies in its
// resizing band of `band` pixels, edge by edge. 64-bit arithmetic: a skin
// may give any band.
struct TBand {
  bool Top, Bottom, Left, Right;
};

TBand BandAt(TPoint point, std::int64_t width, std::int64_t height, std::int64_t band) {
  const bool top = point.Y < band;
  const bool bottom = point.Y > height - band - 1;
  const bool left = point.X < band;
  const bool right = point.X > width - band - 1;
  return TBand{top, bottom, left, right};
}

}  // namespace

// ---- form ---------------------------------------------------------------

TSkinForm::TSkinForm() : platform::TWindow(TStyle::Borderless) {
  OnHitTest = [this](TPoint screen) {
    return HitTestAt(TPoint{platform::ClampToInt(std::int64_t{screen.X} - Left()),
                            platform::ClampToInt(std::int64_t{screen.Y} - Top())});
  };
  OnSizing = [this](platform::TSizingEdge edge, platform::TRect& rect) { Sizing(edge, rect); };
  OnMouseWheel = [this](bool forward) { Wheel(forward); };
  OnSystemCommand = [this](platform::TSystemCommand) {
    app::TEntityManager* entities =
        Window && Window->ResManager ? Window->ResManager->EntityManager : nullptr;
    return entities && entities->GetValue("System.SupressScreenSaver") > 0;
  };
}

THitTest TSkinForm::HitTestAt(TPoint point) const {
  const auto [top, bottom, left, right] = BandAt(point, Width(), Height(), Resizer);
  THitTest result = THitTest::Client;
  if (top) result = THitTest::Top;
  if (bottom) result = THitTest::Bottom;
  if (left) result = THitTest::Left;
  if (right) result = THitTest::Right;
  if (left && top) result = THitTest::TopLeft;
  if (right && top) result = THitTest::TopRight;
  if (left && bottom) result = THitTest::BottomLeft;
  if (right && bottom) result = THitTest::BottomRight;
  return result;
}

void TSkinForm::Sizing(platform::TSizingEdge edge, platform::TRect& rect) const {
  const platform::TRect work = platform::WorkArea();
  const int snap = platform::ScreenWidth() / 50;
  const bool left = platform::SizingLeft(edge);
  const bool top = platform::SizingTop(edge);
  if (left && Within(rect.Left, work.Left, snap)) rect.Left = work.Left;
  if (platform::SizingRight(edge) && Within(rect.Right, work.Right, snap)) rect.Right = work.Right;
  if (top && Within(rect.Top, work.Top, snap)) rect.Top = work.Top;
  if (platform::SizingBottom(edge) && Within(rect.Bottom, work.Bottom, snap))
    rect.Bottom = work.Bottom;
  // 64-bit: the minimum comes from the skin and may be anything.
  if (std::int64_t{rect.Right} - rect.Left < MinWidth) {
    if (left)
      rect.Left = platform::ClampToInt(std::int64_t{rect.Right} - MinWidth);
    else
      rect.Right = platform::ClampToInt(std::int64_t{rect.Left} + MinWidth);
  }
  if (std::int64_t{rect.Bottom} - rect.Top < MinHeight) {
    if (top)
      rect.Top = platform::ClampToInt(std::int64_t{rect.Bottom} - MinHeight);
    else
      rect.Bottom = platform::ClampToInt(std::int64_t{rect.Top} + MinHeight);
  }
}

void TSkinForm::Wheel(bool forward) {
  app::TEntityManager* entities =
      Window && Window->ResManager ? Window->ResManager->EntityManager : nullptr;
  if (!entities) return;
  entities->Execute(forward ? "Application.OnWheelForward" : "Application.OnWheelBackward");
}

// ---- window -------------------------------------------------------------

detail::TFormHolder::TFormHolder() {
  app::Log("+TSkinWindow.Create");
  FormPtr = std::make_unique<TSkinForm>();
}

detail::TFormHolder::~TFormHolder() {
  FormPtr.reset();
  app::Log("-TSkinWindow.Destroy");
}

TSkinWindow::TSkinWindow(TKestControl*) : TKestControl(*FormPtr) {
  Form().Window = this;
  app::Log("-TSkinWindow.Create");
}

TSkinWindow::~TSkinWindow() { app::Log("+TSkinWindow.Destroy"); }

void TSkinWindow::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  TSkinForm& form = Form();
  const std::string formName = "fr" + Id;
  if (IsIdentifier(formName)) form.SetText(formName);
  const std::string size = element.GetAttr("Size");
  const int width =
      std::clamp(skin::StrToIntDefault(skin::PairField(size, 0), 100), 0, kMaxControlSide);
  const int height =
      std::clamp(skin::StrToIntDefault(skin::PairField(size, 1), 100), 0, kMaxControlSide);
  // Centred with the size it got: the platform keeps a window within what a
  // screen could show.
  form.SetSize(width, height);
  form.SetPosition((platform::ScreenWidth() - form.Width()) / 2,
                   (platform::ScreenHeight() - form.Height()) / 2);
  form.Resizer = skin::StrToIntDefault(element.GetAttr("Resizer"), 0);
  const std::string minSize = element.GetAttr("MinSize");
  form.MinWidth = skin::StrToIntDefault(skin::PairField(minSize, 0), 50);
  form.MinHeight = skin::StrToIntDefault(skin::PairField(minSize, 1), 50);
  form.SetColor(Color());
  form.SetPopupMenu(PopupMenu());
  SetAlign(platform::TAlign::Client);
  SetBounds(0, 0, form.ClientWidth(), form.ClientHeight());
  Resized();
}

// The form takes the window control's shape: the top-level window has
// exactly the shape of the opaque part of the background.
void TSkinWindow::ApplyShape(const platform::TRegion& shape) {
  TKestControl::ApplyShape(shape);
  Form().SetRegion(shape);
}

THitTest TSkinWindow::HitTest(TPoint screen) {
  const TSkinForm& form = Form();
  const TPoint point{platform::ClampToInt(std::int64_t{screen.X} - form.Left()),
                     platform::ClampToInt(std::int64_t{screen.Y} - form.Top())};
  const auto [top, bottom, left, right] = BandAt(point, Width(), Height(), form.Resizer);
  return top || bottom || left || right ? THitTest::Transparent : THitTest::Client;
}

void TSkinWindow::ShowModal() { Form().ShowModal(); }

void TSkinWindow::Close() { Form().Close(); }

}  // namespace controls
