#include "ui/UI.h"

#include <exception>

#include "app/MultiLog.h"
#include "app/TextUtil.h"
#include "controls/KestCtl.h"
#include "controls/KestWnd.h"
#include "platform/Application.h"
#include "platform/Resources.h"
#include "platform/Screen.h"
#include "platform/Stream.h"
#include "platform/Tray.h"
#include "platform/Window.h"
#include "skin/CachedStream.h"
#include "skin/KestRes.h"
#include "skin/StreamPack.h"

namespace ui {

using app::MakeCallback;
using controls::TSkinWindow;

namespace {

std::string WindowId(const TSkinWindow& window) { return window.Id; }

}  // namespace

TUIManager::TUIManager(app::TEntityManager& entityManager) : entityManager_(&entityManager) {
  app::Log("+TUIManager.Create");
  platform::SetApplicationHook([this](platform::TAppEvent event) {
    if (event == platform::TAppEvent::EndSession) {
      app::Log("TUIManager.AppHook:WM_ENDSESSION");
      entityManager_->Execute("Application.Exit");
    } else {
      app::Log("TUIManager.AppHook:WM_ACTIVATEAPP");
      ApplyStayOnTop(stayOnTop_ && stayOnTop_->Value > 0);
    }
  });
  languageManager_ = std::make_unique<TLanguageManager>();
  keyboardManager_ = std::make_unique<TKeyboardManager>(entityManager);
  intSkin_ = std::make_unique<controls::TSkin>(entityManager);
  extSkin_ = std::make_unique<controls::TSkin>(entityManager);
  ConnectTexts(intSkin_->ResManager());
  ConnectTexts(extSkin_->ResManager());
  platform::SetHintHook(
      [this](std::string& text, platform::TWindowBase& window) { OnShowHint(text, window); });
  RegisterEntities();
  app::Log("-TUIManager.Create");
}

TUIManager::~TUIManager() {
  app::Log("+TUIManager.Destroy");
  const bool trayShown = useTray_ && useTray_->Value > 0;
  UnregisterEntities();
  DestroyAll();
  if (trayShown) RemoveTrayIcon();
  platform::SetHintHook({});
  extSkin_.reset();
  intSkin_.reset();
  keyboardManager_.reset();
  languageManager_.reset();
  platform::SetApplicationHook({});
  app::Log("-TUIManager.Destroy");
}

// ---- entities -----------------------------------------------------------

void TUIManager::ConnectTexts(skin::TSkinResManager& resources) {
  resources.CaptionOf = [this](std::string_view name) { return languageManager_->Translate(name); };
  resources.KeyTextOf = [this](std::string_view section, std::string_view command) {
    return keyboardManager_->KeyForCommand(section, command);
  };
}

void TUIManager::RegisterEntities() {
  app::TEntityManager& bus = *entityManager_;
  const app::TCallback gui = MakeCallback<&TUIManager::OnGUICommand>(this);
  runMacros_ = std::make_unique<app::TStringEntity>("", gui);
  bus.RegisterEntity("Application.RunMacros", runMacros_.get());
  supressScreenSaver_ = std::make_unique<app::TBasicEntity>(0, 0, 0);
  bus.RegisterEntity("System.SupressScreenSaver", supressScreenSaver_.get());
  stayOnTop_ =
      std::make_unique<app::TBasicEntity>(0, 0, 0, MakeCallback<&TUIManager::OnStayOnTop>(this));
  bus.RegisterEntity("GUI.StayOnTop", stayOnTop_.get());
  useTray_ =
      std::make_unique<app::TBasicEntity>(0, 0, 0, MakeCallback<&TUIManager::OnUseTray>(this));
  bus.RegisterEntity("GUI.UseTray", useTray_.get());
  trayHint_ = std::make_unique<app::TStringEntity>("KEST Application", gui);
  bus.RegisterEntity("GUI.TrayHint", trayHint_.get());
  magneticWindows_ = std::make_unique<app::TBasicEntity>(0, 1, 1);
  magneticWindows_->Enabled = false;
  bus.RegisterEntity("GUI.MagneticWindows", magneticWindows_.get());
  showHints_ = std::make_unique<app::TBasicEntity>(0, 1, 1, gui);
  bus.RegisterEntity("GUI.ShowHints", showHints_.get());
  restore_ =
      std::make_unique<app::TBasicEntity>(0, 0, 0, MakeCallback<&TUIManager::OnRestore>(this));
  bus.RegisterEntity("GUI.Restore", restore_.get());
  minimize_ =
      std::make_unique<app::TBasicEntity>(0, 0, 0, MakeCallback<&TUIManager::OnMinimize>(this));
  bus.RegisterEntity("GUI.Minimize", minimize_.get());
  maximize_ = std::make_unique<app::TStringEntity>("", gui);
  bus.RegisterEntity("GUI.Maximize", maximize_.get());
  showWindow_ = std::make_unique<app::TStringEntity>("", gui);
  bus.RegisterEntity("GUI.ShowWindow", showWindow_.get());
  hideWindow_ = std::make_unique<app::TStringEntity>("", gui);
  bus.RegisterEntity("GUI.HideWindow", hideWindow_.get());
  toggleControl_ = std::make_unique<app::TStringEntity>("", gui);
  bus.RegisterEntity("GUI.ToggleControl", toggleControl_.get());
}

void TUIManager::UnregisterEntities() {
  app::TEntityManager& bus = *entityManager_;
  bus.UnregisterEntity("GUI.ToggleControl", toggleControl_);
  bus.UnregisterEntity("GUI.ShowWindow", showWindow_);
  bus.UnregisterEntity("GUI.HideWindow", hideWindow_);
  bus.UnregisterEntity("GUI.Maximize", maximize_);
  bus.UnregisterEntity("GUI.Minimize", minimize_);
  bus.UnregisterEntity("GUI.Restore", restore_);
  bus.UnregisterEntity("GUI.ShowHints", showHints_);
  bus.UnregisterEntity("GUI.MagneticWindows", magneticWindows_);
  bus.UnregisterEntity("GUI.TrayHint", trayHint_);
  bus.UnregisterEntity("GUI.UseTray", useTray_);
  bus.UnregisterEntity("GUI.StayOnTop", stayOnTop_);
  bus.UnregisterEntity("System.SupressScreenSaver", supressScreenSaver_);
  bus.UnregisterEntity("Application.RunMacros", runMacros_);
}

void TUIManager::OnGUICommand(app::TEntityHolder& sender) {
  const std::string& name = sender.Name;
  if (app::SameText(name, "GUI.ShowHints")) {
    showHints_->Value = 1 - showHints_->Value;
    entityManager_->Notify("GUI.ShowHints");
    return;
  }
  auto* entity = dynamic_cast<app::TStringEntity*>(sender.Entity);
  if (!entity) return;
  const std::string argument = entity->Value;
  if (app::SameText(name, "Application.RunMacros")) RunMacros(argument);
  if (app::SameText(name, "GUI.TrayHint")) SetTrayTip(argument);
  if (app::SameText(name, "GUI.Maximize")) MaximizeWindow(argument);
  if (app::SameText(name, "GUI.ShowWindow")) ShowWindow(argument);
  if (app::SameText(name, "GUI.HideWindow")) HideWindow(argument);
  if (app::SameText(name, "GUI.ToggleControl")) ToggleControl(argument);
}

void TUIManager::OnStayOnTop(app::TEntityHolder&) {
  stayOnTop_->Value = 1 - stayOnTop_->Value;
  entityManager_->Notify("GUI.StayOnTop");
  ApplyStayOnTop(stayOnTop_->Value > 0);
}

void TUIManager::OnUseTray(app::TEntityHolder&) { SetUseTray(!UseTray()); }

void TUIManager::OnRestore(app::TEntityHolder&) { RestoreApp(); }

void TUIManager::OnMinimize(app::TEntityHolder&) { MinimizeApp(); }

void TUIManager::ApplyStayOnTop(bool on) { platform::SetApplicationTopmost(on); }

// ---- skins and texts ----------------------------------------------------

void TUIManager::LoadDefaultSkin() {
  app::Log("TUIManager.LoadDefaultSkin:IntSkin.LoadFromZIP(=Resource(DefSkin))");
  try {
    if (auto stream = platform::OpenResource("DefSkin")) intSkin_->LoadFromZIP(*stream);
  } catch (const std::exception&) {
  }
}

void TUIManager::LoadSkin(skin::TStreamPack& pack) {
  app::Log("+TUIManager.LoadSkin");
  DestroyAll();
  extSkin_->LoadFromPack(pack);
  app::Log("-TUIManager.LoadSkin");
}

void TUIManager::LoadSkinFromFolder(const std::string& path) {
  skin::TDirStrPack pack(path);
  LoadSkin(pack);
}

void TUIManager::LoadSkinFromZIP(const std::string& path) {
  platform::TFileStream file(path, platform::TFileStream::Mode::Read);
  skin::TCachedStream cached(file, 16384, 2);
  skin::TZIPStrPack pack(cached);
  LoadSkin(pack);
}

void TUIManager::LoadKeyBindings(platform::TStream& stream) {
  keyboardManager_->LoadFromStream(&stream);
}

void TUIManager::SetSystemKeys() { keyboardManager_->SetSystemKeys(); }

void TUIManager::LoadLanguage(platform::TStream& stream) {
  languageManager_->Clear();
  languageManager_->LoadFromStream(&stream);
}

void TUIManager::RegisterControlClass(const std::string& tag,
                                      const controls::TControlFactory& controlClass) {
  intSkin_->RegisterControlClass(tag, controlClass);
  extSkin_->RegisterControlClass(tag, controlClass);
}

// ---- windows ------------------------------------------------------------

TSkinWindow* TUIManager::CreateWindow(const std::string& name) {
  app::Log("+TUIManager.CreateWindow(" + name + ")");
  // Entries of destroyed windows go before a new one comes: a program that
  // reloads its skin all day keeps a list as long as its open windows.
  if (!destroyingAll_) std::erase(openWindows_, nullptr);
  std::unique_ptr<controls::TKestControl> built = extSkin_->BuildWindow(name);
  if (!built) built = intSkin_->BuildWindow(name);
  TSkinWindow* window = nullptr;
  if (auto* skinWindow = dynamic_cast<TSkinWindow*>(built.get())) {
    built.release();
    openWindows_.emplace_back(skinWindow);
    skinWindow->Form().OnKeyDown = [this, skinWindow](int& key, platform::TShiftState shift) {
      OnKey(*skinWindow, key, shift);
    };
    window = skinWindow;
  }
  app::Log("-TUIManager.CreateWindow");
  return window;
}

TSkinWindow* TUIManager::GetWindow(const std::string& name) {
  app::Log("+TUIManager.GetWindow");
  TSkinWindow* found = nullptr;
  for (const auto& window : openWindows_) {
    if (window && WindowId(*window) == name) found = window.get();
  }
  app::Log("-TUIManager.GetWindow");
  return found;
}

void TUIManager::DestroyWindow(TSkinWindow* window) {
  app::Log("+TUIManager.DestroyWindow");
  if (window) {
    if (app::SameText(WindowId(*window), "Main")) closedMainBounds_ = window->Form().BoundsRect();
    for (auto& entry : openWindows_) {
      if (entry.get() == window) entry.reset();
    }
  }
  app::Log("-TUIManager.DestroyWindow");
}

std::optional<platform::TRect> TUIManager::MainBounds() {
  if (TSkinWindow* main = GetWindow("Main")) return main->Form().BoundsRect();
  return closedMainBounds_;
}

void TUIManager::DestroyAll() {
  app::Log("+TUIManager.DestroyAll");
  // By index: a window's destruction may run code that opens another.
  destroyingAll_ = true;
  for (std::size_t i = 0; i < openWindows_.size(); ++i) DestroyWindow(openWindows_[i].get());
  destroyingAll_ = false;
  app::Log("-TUIManager.DestroyAll");
}

TSkinWindow* TUIManager::ActiveWindow() {
  TSkinWindow* found = nullptr;
  for (const auto& window : openWindows_) {
    if (window && window->Form().IsActive()) found = window.get();
  }
  return found;
}

controls::TKestControl* TUIManager::FindControl(std::string_view id) {
  TSkinWindow* main = GetWindow("Main");
  return main ? controls::FindControl(*main, id) : nullptr;
}

void TUIManager::ShowWindow(const std::string& name) {
  TSkinWindow* window = GetWindow(name);
  if (!window) window = CreateWindow(name);
  if (!window) return;
  window->Form().Show();
  window->Form().Repaint();
}

void TUIManager::HideWindow(const std::string& name) {
  if (name.empty()) {
    platform::PostCloseToActiveWindow();
    return;
  }
  if (TSkinWindow* window = GetWindow(name)) window->Close();
}

void TUIManager::HideAll() {
  std::vector<std::string> ids;
  for (const auto& window : openWindows_) {
    if (window) ids.push_back(WindowId(*window));
  }
  for (const std::string& id : ids) HideWindow(id);
}

void TUIManager::ShowModal(const std::string& name) {
  TSkinWindow* window = CreateWindow(name);
  if (!window) return;
  window->ShowModal();
  DestroyWindow(window);
}

bool TUIManager::WindowExists(const std::string& name) {
  TSkinWindow* window = CreateWindow(name);
  if (!window) return false;
  DestroyWindow(window);
  return true;
}

bool TUIManager::AnyWindowVisible() {
  for (const auto& window : openWindows_) {
    if (window && window->Form().Visible()) return true;
  }
  return false;
}

void TUIManager::ToggleControl(const std::string& id) {
  if (controls::TKestControl* control = FindControl(id)) control->SetVisible(!control->Visible());
}

void TUIManager::MaximizeWindow(const std::string& name) {
  if (TSkinWindow* window = GetWindow(name)) window->Form().Maximize();
}

void TUIManager::RunMacros(const std::string& id) {
  auto* macros = extSkin_->ResManager().Find<skin::TSkinResMacros>(id);
  if (!macros) macros = intSkin_->ResManager().Find<skin::TSkinResMacros>(id);
  if (!macros) return;
  // A macro may run macros, itself among them: the nesting and the number
  // of runs one outermost macro causes are bounded, so a skin whose macros
  // call each other in a loop or fan out ends quickly.
  if (macroDepth_ == 0) macroRuns_ = 0;
  if (macroDepth_ >= kMaxMacroDepth || macroRuns_ >= kMaxMacroRuns) {
    app::Log("TUIManager.RunMacros(" + id + "): stopped, macros nested too deep or too many");
    return;
  }
  ++macroDepth_;
  ++macroRuns_;
  const TMacroDepthGuard guard{macroDepth_};
  macros->Run();
}

// ---- keys and hints -----------------------------------------------------

void TUIManager::OnKey(TSkinWindow& window, int& key, platform::TShiftState shift) {
  // The bindings of the window that has the keyboard focus: after a modal
  // box closes without a window manager, no window may be the active one
  // although the keys reach this one.
  const std::string section = WindowId(window);
  const std::string command = keyboardManager_->FindCommand(section, KeyToText(key, shift));
  if (command == "Application.ReloadSkin" || command == "Application.Exit") {
    entityManager_->PushToQueue(command);
  } else {
    entityManager_->Execute(command);
  }
}

void TUIManager::OnShowHint(std::string& text, platform::TWindowBase& window) {
  if (entityManager_->GetValue("GUI.ShowHints") == 0) {
    text.clear();
    return;
  }
  auto* control = dynamic_cast<controls::TKestControl*>(window.Client());
  if (!control) return;
  text = control->Hint();
  if (text != "<>") return;
  text.clear();
  if (control->Link.empty()) return;
  text = languageManager_->Translate(control->Link);
  const std::string key = keyboardManager_->KeyForCommand("Main", control->Link);
  if (!key.empty()) text += " (" + key + ")";
}

// ---- tray icon, minimise and restore ------------------------------------

bool TUIManager::UseTray() const { return useTray_ && useTray_->Value > 0; }

void TUIManager::SetUseTray(bool on) {
  if (!useTray_ || on == UseTray()) return;
  useTray_->Value = on ? 1 : 0;
  if (on)
    AddTrayIcon();
  else
    RemoveTrayIcon();
  entityManager_->Notify("GUI.UseTray");
}

void TUIManager::AddTrayIcon() {
  trayIcon_ = std::make_unique<platform::TTrayIcon>();
  trayIcon_->OnLeftButtonUp = [this] { ToggleMinimized(); };
  trayIcon_->OnRightButtonUp = [this] { PopupTrayMenu(); };
  auto icon = platform::FindResource("TRAY");
  if (!icon) icon = platform::FindResource("MAINICON");
  if (!icon) return;
  trayIcon_->Add(*icon, platform::CutTip(entityManager_->GetString("Application.TrayHint")));
}

void TUIManager::RemoveTrayIcon() { trayIcon_.reset(); }

void TUIManager::SetTrayTip(const std::string& text) {
  if (trayIcon_) trayIcon_->SetTip(platform::CutTip(text));
}

void TUIManager::PopupTrayMenu() {
  auto* menu = extSkin_->ResManager().Find<skin::TSkinResMenu>("Tray");
  if (!menu) menu = intSkin_->ResManager().Find<skin::TSkinResMenu>("Tray");
  if (menu) menu->Menu->Popup(platform::CursorPos());
}

void TUIManager::ToggleMinimized() {
  if (platform::IsApplicationMinimized())
    RestoreApp();
  else
    MinimizeApp();
}

// The rectangle of the "Main" form; empty when it is not open, and then no
// animation is drawn.
platform::TRect TUIManager::MainRect() {
  TSkinWindow* main = GetWindow("Main");
  return main ? main->Form().ScreenRect() : platform::TRect{};
}

void TUIManager::SetMainCaption() {
  if (TSkinWindow* main = GetWindow("Main"))
    main->Form().SetText(entityManager_->GetString("Application.Title"));
}

void TUIManager::MinimizeApp() {
  if (platform::IsApplicationMinimized()) return;
  SetMainCaption();
  const platform::TRect from = MainRect();
  const platform::TRect tray = trayIcon_ ? trayIcon_->ScreenRect() : platform::TRect{};
  if (UseTray() && platform::AnimationsEnabled() && !from.IsEmpty() && !tray.IsEmpty()) {
    platform::AnimateCaption(from, tray);
  }
  platform::MinimizeApplication(UseTray() && trayIcon_ && trayIcon_->Shown());
}

void TUIManager::RestoreApp() {
  if (!platform::IsApplicationMinimized()) return;
  SetMainCaption();
  const platform::TRect to = MainRect();
  const platform::TRect tray = trayIcon_ ? trayIcon_->ScreenRect() : platform::TRect{};
  if (UseTray() && platform::AnimationsEnabled() && !to.IsEmpty() && !tray.IsEmpty()) {
    platform::AnimateCaption(tray, to);
  }
  platform::RestoreApplication();
}

}  // namespace ui
