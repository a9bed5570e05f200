#include "program/KeptSettings.h"

#include <array>
#include <limits>
#include <optional>
#include <string>

#include "app/AdvINIFile.h"
#include "app/Entities.h"
#include "controls/KestWnd.h"
#include "platform/Screen.h"
#include "program/Level.h"
#include "skin/KestUtil.h"
#include "ui/UI.h"

namespace app {

namespace {

constexpr std::array<const char*, 3> kSwitches{"GUI.StayOnTop", "GUI.ShowHints", "GUI.UseTray"};

// A decimal number in [min, max], or none.
std::optional<int> ReadNumber(TAdvancedINIFile& settings, const char* key, int min, int max) {
  constexpr int kMalformed = std::numeric_limits<int>::min();
  const int value = skin::StrToIntDefault(settings.ReadString(key), kMalformed);
  if (value == kMalformed || value < min || value > max) return std::nullopt;
  return value;
}

// The switches toggle when their command runs.
void ApplySwitch(TAdvancedINIFile& settings, TEntityManager& bus, const char* name) {
  const std::optional<int> on = ReadNumber(settings, name, 0, 1);
  if (on && (*on == 1) != (bus.GetValue(name) > 0)) bus.Execute(name);
}

void ApplyLevel(TAdvancedINIFile& settings, TEntityManager& bus) {
  const std::optional<int> level = ReadNumber(settings, TLevel::kEntityName, 0, 99);
  auto* entity = dynamic_cast<TBasicEntity*>(bus.GetHolder(TLevel::kEntityName).Entity);
  if (!level || !entity) return;
  entity->Value = *level;
  bus.GetHolder(TLevel::kEntityName).NotifyOwner();
}

// The main window goes where it stood, moved onto a screen attached now.
void PlaceMain(TAdvancedINIFile& settings, ui::TUIManager& ui) {
  constexpr int kFar = 1'000'000;
  const std::optional<int> left = ReadNumber(settings, "Main.Left", -kFar, kFar);
  const std::optional<int> top = ReadNumber(settings, "Main.Top", -kFar, kFar);
  if (!left || !top) return;
  controls::TSkinWindow* main = ui.GetWindow("Main");
  if (!main) main = ui.CreateWindow("Main");
  if (!main) return;
  controls::TSkinForm& form = main->Form();
  const platform::TRect wanted = platform::Bounds(*left, *top, form.Width(), form.Height());
  const platform::TRect placed = platform::KeepOnScreens(wanted);
  form.SetPosition(placed.Left, placed.Top);
}

}  // namespace

void ApplyKeptSettings(TAdvancedINIFile& settings, TEntityManager& bus, ui::TUIManager& ui) {
  PlaceMain(settings, ui);
  for (const char* name : kSwitches) ApplySwitch(settings, bus, name);
  ApplyLevel(settings, bus);
}

void RememberKeptSettings(TAdvancedINIFile& settings, TEntityManager& bus, ui::TUIManager& ui) {
  for (const char* name : kSwitches) settings.WriteString(name, bus.GetValue(name) > 0 ? "1" : "0");
  settings.WriteString(TLevel::kEntityName, std::to_string(bus.GetValue(TLevel::kEntityName)));
  if (const std::optional<platform::TRect> main = ui.MainBounds()) {
    settings.WriteString("Main.Left", std::to_string(main->Left));
    settings.WriteString("Main.Top", std::to_string(main->Top));
  }
}

}  // namespace app
