#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppCore.h"
#include "app/Entities.h"
#include "controls/Skins.h"
#include "platform/Keys.h"
#include "ui/KeyMgr.h"
#include "ui/LangMgr.h"

namespace controls {
class TKestControl;
class TSkinWindow;
}  // namespace controls
namespace platform {
class TTrayIcon;
class TWindowBase;
}  // namespace platform

namespace ui {

// Stands between the application core and the skins: owns the built-in and
// the chosen skin, the open windows, the captions and the key bindings;
// registers the "GUI." entities; routes keys, builds hints, keeps the tray
// icon and minimises and restores the application.
class TUIManager : public app::TUIManagerBase {
 public:
  explicit TUIManager(app::TEntityManager& entityManager);
  ~TUIManager() override;

  // The core's needs.
  void LoadDefaultSkin() override;
  void ShowWindow(const std::string& name) override;
  bool WindowExists(const std::string& name) override;
  void ShowModal(const std::string& name) override;
  void HideAll() override;
  bool AnyWindowVisible() override;
  void SetUseTray(bool on) override;
  void LoadKeyBindings(platform::TStream& stream) override;
  void SetSystemKeys() override;
  void LoadLanguage(platform::TStream& stream) override;
  void LoadSkinFromFolder(const std::string& path) override;
  void LoadSkinFromZIP(const std::string& path) override;

  // Closes every window, then loads the chosen skin from the pack.
  void LoadSkin(skin::TStreamPack& pack);
  // Registers a control class with both skins.
  void RegisterControlClass(const std::string& tag, const controls::TControlFactory& controlClass);
  void HideWindow(const std::string& name);

  controls::TSkinWindow* CreateWindow(const std::string& name);
  controls::TSkinWindow* GetWindow(const std::string& name);
  void DestroyWindow(controls::TSkinWindow* window);
  void DestroyAll();
  controls::TSkinWindow* ActiveWindow();
  controls::TKestControl* FindControl(std::string_view id);

  // The main window's bounds now, or as it was last closed; none before it
  // was ever open.
  std::optional<platform::TRect> MainBounds();

  void ToggleControl(const std::string& id);
  void MaximizeWindow(const std::string& name);
  void RunMacros(const std::string& id);
  void MinimizeApp();
  void RestoreApp();
  void ToggleMinimized();
  void SetTrayTip(const std::string& text);

  // The key-down handler of every skinned form: runs the command bound to
  // the key in the section of the window that received it.
  void OnKey(controls::TSkinWindow& window, int& key, platform::TShiftState shift);
  // The hint hook: what the control under the mouse shows.
  void OnShowHint(std::string& text, platform::TWindowBase& window);

  TLanguageManager& LanguageManager() { return *languageManager_; }
  TKeyboardManager& KeyboardManager() { return *keyboardManager_; }
  controls::TSkin& IntSkin() { return *intSkin_; }
  controls::TSkin& ExtSkin() { return *extSkin_; }
  const std::vector<std::unique_ptr<controls::TSkinWindow>>& OpenWindows() const {
    return openWindows_;
  }
  const platform::TTrayIcon* TrayIcon() const { return trayIcon_.get(); }

 private:
  void RegisterEntities();
  void UnregisterEntities();
  // Lets a skin's menus ask this manager's languages and key bindings.
  void ConnectTexts(skin::TSkinResManager& resources);
  void OnGUICommand(app::TEntityHolder& sender);
  void OnStayOnTop(app::TEntityHolder& sender);
  void OnUseTray(app::TEntityHolder& sender);
  void OnRestore(app::TEntityHolder& sender);
  void OnMinimize(app::TEntityHolder& sender);
  void ApplyStayOnTop(bool on);
  void AddTrayIcon();
  void RemoveTrayIcon();
  void PopupTrayMenu();
  bool UseTray() const;
  platform::TRect MainRect();
  void SetMainCaption();

  app::TEntityManager* entityManager_;
  std::unique_ptr<TLanguageManager> languageManager_;
  std::unique_ptr<TKeyboardManager> keyboardManager_;
  std::unique_ptr<controls::TSkin> intSkin_;
  std::unique_ptr<controls::TSkin> extSkin_;
  // Open windows in creation order; a destroyed window leaves an empty
  // entry until the next window is created.
  std::vector<std::unique_ptr<controls::TSkinWindow>> openWindows_;
  std::optional<platform::TRect> closedMainBounds_;
  bool destroyingAll_ = false;
  std::unique_ptr<platform::TTrayIcon> trayIcon_;
  // Macros running inside one another now, and runs since the outermost
  // began.
  static constexpr int kMaxMacroDepth = 16;
  static constexpr int kMaxMacroRuns = 1000;
  int macroDepth_ = 0;
  int macroRuns_ = 0;
  struct TMacroDepthGuard {
    int& Depth;
    ~TMacroDepthGuard() { --Depth; }
  };

  std::unique_ptr<app::TStringEntity> runMacros_;
  std::unique_ptr<app::TBasicEntity> supressScreenSaver_;
  std::unique_ptr<app::TBasicEntity> stayOnTop_;
  std::unique_ptr<app::TBasicEntity> useTray_;
  std::unique_ptr<app::TStringEntity> trayHint_;
  std::unique_ptr<app::TBasicEntity> magneticWindows_;
  std::unique_ptr<app::TBasicEntity> showHints_;
  std::unique_ptr<app::TBasicEntity> restore_;
  std::unique_ptr<app::TBasicEntity> minimize_;
  std::unique_ptr<app::TStringEntity> maximize_;
  std::unique_ptr<app::TStringEntity> showWindow_;
  std::unique_ptr<app::TStringEntity> hideWindow_;
  std::unique_ptr<app::TStringEntity> toggleControl_;
};

}  // namespace ui
