#include "controls/KestWnd.h"

#include <algorithm>
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

bool Within(int value, int target, int snap) { return std::abs(value - target) < snap; }

}  // namespace

// ---- form ---------------------------------------------------------------

TSkinForm::TSkinForm() : platform::TWindow(TStyle::Borderless) {
  OnHitTest = [this](TPoint screen) {
    return HitTestAt(TPoint{screen.X - Left(), screen.Y - Top()});
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
  const int r = Resizer;
  const int w = Width();
  const int h = Height();
  const bool top = point.Y < r;
  const bool bottom = point.Y > h - r - 1;
  const bool left = point.X < r;
  const bool right = point.X > w - r - 1;
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
  if (rect.Width() < MinWidth) {
    if (left)
      rect.Left = rect.Right - MinWidth;
    else
      rect.Right = rect.Left + MinWidth;
  }
  if (rect.Height() < MinHeight) {
    if (top)
      rect.Top = rect.Bottom - MinHeight;
    else
      rect.Bottom = rect.Top + MinHeight;
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
  form.SetBounds((platform::ScreenWidth() - width) / 2, (platform::ScreenHeight() - height) / 2,
                 width, height);
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

void TSkinWindow::Resized() {
  TKestControl::Resized();
  if (!BGImage || !BGImage->IsTransparent()) return;
  if (auto region = BGImage->CreateRegion(platform::TRect{0, 0, Width(), Height()})) {
    Form().SetRegion(*region);
  }
}

THitTest TSkinWindow::HitTest(TPoint screen) {
  const TSkinForm& form = Form();
  const int x = screen.X - form.Left();
  const int y = screen.Y - form.Top();
  const int r = form.Resizer;
  if (y < r || y > Height() - r - 1 || x < r || x > Width() - r - 1) return THitTest::Transparent;
  return THitTest::Client;
}

void TSkinWindow::ShowModal() { Form().ShowModal(); }

void TSkinWindow::Close() { Form().Close(); }

}  // namespace controls
