#include "controls/KestAni.h"

#include <cstdint>

#include "app/Entities.h"
#include "skin/AlphaImage.h"
#include "skin/KestRes.h"
#include "skin/XML.h"

namespace controls {

namespace {

constexpr const char* kTimer = "System.Timer";

}  // namespace

TKestAnimation::TKestAnimation(TKestControl& owner) : TKestControl(owner) {}

void TKestAnimation::LoadFromXML(const skin::TXMLNode& element) {
  TKestControl::LoadFromXML(element);
  const std::string name = "ani" + element.GetAttr("Name");
  if (IsIdentifier(name)) SetText(name);
  Frames = nullptr;
  if (ResManager) Frames = ResManager->GetImage(element.GetAttr("Sequence"));
  // A GROUP element loads the control twice: it stays one client.
  if (app::TEntityManager* entities = Entities())
    timer_.Subscribe(entities->GetHolder(kTimer), app::MakeCallback<&TKestAnimation::OnTick>(this));
}

int TKestAnimation::FrameIndex() const {
  if (!Frames || Frames->Count() == 0) return -1;
  const app::TEntityHolder* timer = timer_.Holder();
  const auto* ticks = timer ? dynamic_cast<const app::TBasicEntity*>(timer->Entity) : nullptr;
  const auto low = static_cast<std::int32_t>(ticks ? ticks->Value : 0);
  return low % Frames->Count();
}

void TKestAnimation::OnTick(app::TEntityHolder&) { Invalidate(); }

void TKestAnimation::Paint(platform::TCanvas& canvas) {
  TKestControl::Paint(canvas);
  if (!Frames || Frames->Count() == 0) return;
  skin::DrawImage(Frames->Item(FrameIndex()), canvas, platform::TRect{0, 0, Width(), Height()});
}

}  // namespace controls
