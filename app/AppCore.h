#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/AdvINIFile.h"
#include "app/Entities.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace platform {
class TListBox;
class TWindow;
}  // namespace platform

namespace app {

// What the application core needs of the UI manager. The UI manager of the
// ui library implements it; until one is made, TNullUIManager answers.
class TUIManagerBase {
 public:
  virtual ~TUIManagerBase() = default;

  // Loads the built-in skin; never throws.
  virtual void LoadDefaultSkin() = 0;
  // Shows the named window, creating it when it is not open; nothing when no
  // skin defines it.
  virtual void ShowWindow(const std::string& name) = 0;
  // True when a skin defines a window of that name.
  virtual bool WindowExists(const std::string& name) = 0;
  // Creates the named window, shows it modally and destroys it when closed.
  virtual void ShowModal(const std::string& name) = 0;
  virtual void HideAll() = 0;
  virtual bool AnyWindowVisible() = 0;
  virtual void SetUseTray(bool on) = 0;

  // Replaces the key bindings with those of the text.
  virtual void LoadKeyBindings(platform::TStream& stream) = 0;
  // Takes the system-wide keys of the bindings whose commands are
  // registered (called once the program's entities are).
  virtual void SetSystemKeys() = 0;
  // Empties the captions, then reads those of the text.
  virtual void LoadLanguage(platform::TStream& stream) = 0;
  // Closes every window and replaces the external skin with the skin of a
  // folder or of a ZIP archive.
  virtual void LoadSkinFromFolder(const std::string& path) = 0;
  virtual void LoadSkinFromZIP(const std::string& path) = 0;
};

// The least UI manager: no skin, no window, no bindings, no captions. With
// it the program starts, finds no visible window on its first tick and
// stops in order.
class TNullUIManager : public TUIManagerBase {
 public:
  void LoadDefaultSkin() override {}
  void ShowWindow(const std::string&) override {}
  bool WindowExists(const std::string&) override { return false; }
  void ShowModal(const std::string&) override {}
  void HideAll() override {}
  bool AnyWindowVisible() override { return false; }
  void SetUseTray(bool) override {}
  void LoadKeyBindings(platform::TStream&) override {}
  void SetSystemKeys() override {}
  void LoadLanguage(platform::TStream&) override {}
  void LoadSkinFromFolder(const std::string&) override {}
  void LoadSkinFromZIP(const std::string&) override {}
};

// The application object: owns the settings, the entity bus, the UI manager
// and the application timer, and runs the whole life of the program in Run.
// Create it with CreateApplication so that its construction completes with
// the title line of the derived class.
class TAppCore {
 public:
  TAppCore();
  virtual ~TAppCore();
  TAppCore(const TAppCore&) = delete;
  TAppCore& operator=(const TAppCore&) = delete;

  // Logs "=== title version ===" once the derived class is constructed.
  void AfterConstruction();

  virtual void CreateUI();
  virtual void DestroyUI();
  // Reads the settings file (SettingsPath). A file that cannot be read or
  // trusted is set aside as "<file>.bad" with one log line, and the
  // defaults stay; when it cannot be set aside it is not saved over.
  virtual void LoadSettings();
  // Writes the settings file whole or not at all, creating its folder; a
  // failure is logged and the old file stays.
  virtual void SaveSettings();
  // Between LoadSettings and SaveSettings, the program takes the values it
  // keeps from the settings once its entities exist, and puts them back.
  virtual void ApplySettings() {}
  virtual void RememberSettings() {}
  // The settings file: <user config folder>/<program>/<program>.ini, the
  // program's name being the title in lower case.
  virtual std::string SettingsPath() const;
  virtual void OnFirstRun() {}
  virtual void LoadResources();
  virtual void RegisterEntities();
  virtual void UnregisterEntities();
  virtual void OnTimer();
  // Loads the settings, prepares, shows "Main", runs the message loop, and
  // saves the settings before it finishes.
  virtual void Run();
  // The steps of Run before and after the main window and the message
  // loop; tools that build windows without running the program use them.
  void Prepare();
  void Finish();
  virtual std::string GetTitle() const { return "KEST Application"; }
  virtual void Alert(const std::string& text);

  // Hides every window and ends the message loop.
  void Quit();
  // The version text of the running executable ("2.0", "2.0 Beta 3 (build 200)").
  std::string GetVersion() const;
  // Logs the exception's message and shows it with Alert.
  void AppException(const std::string& message);

  // The clock text of "System.Time" for an hour, minute and second: the
  // colon shows on even seconds and a space on odd ones.
  static std::string ClockText(int hour, int minute, int second);
  // The skin list of a "Skins" folder: the empty name (the built-in skin),
  // every sub-folder and every ".ZIP" file, sorted ignoring case.
  static std::vector<std::string> SkinListEntries(const std::vector<platform::TDirEntry>& entries);

  // Null before CreateUI and after DestroyUI.
  TEntityManager* EntityManager() const { return entityManager_.get(); }
  TUIManagerBase* UIManager() const { return uiManager_.get(); }
  TAdvancedINIFile& Settings() { return *settings_; }
  // The "Skin Selector" window and its list; null outside CreateUI ..
  // DestroyUI.
  platform::TWindow* SkinSelector() const;
  platform::TListBox* SkinList() const;

 protected:
  // Makes the UI manager for CreateUI; the program's class returns the real
  // one, the base the least stand-in.
  virtual std::unique_ptr<TUIManagerBase> NewUIManager(TEntityManager& entityManager);

  struct TClockTime {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
  };
  // The local time of day the clock shows.
  virtual TClockTime LocalClock() const;

  // The folder holding "Skins" and "Help": the executable's.
  virtual std::string ProgramDirectory() const;
  std::string SkinsDirectory() const;

  // Opens a URL or a file with the desktop's default action; the result is
  // not examined.
  virtual void ShellOpen(const std::string& target, bool maximized);

  // Steps of CreateUI and DestroyUI, usable on their own by applications
  // that run without the platform windows (tests, tools).
  void CreateEntityManager();
  void CreateUIManager();
  void DestroyUIManager();
  void DestroyEntityManager();

  // Handlers of the core's entities.
  void OnExit(TEntityHolder& sender);
  void OnTitleChanged(TEntityHolder& sender);
  void OpenDocument(TEntityHolder& sender);
  void OnHelp(TEntityHolder& sender);
  void OnReloadSkin(TEntityHolder& sender);
  void OnSelectSkin(TEntityHolder& sender);

  // Skins, key bindings, captions and help.
  void LoadSkinByName(const std::string& name);
  void LoadKeyboard(const std::string& resourceName);
  void LoadLanguage(const std::string& resourceName);
  void ReloadSkin();
  void SelectSkin();
  void ShowHelp();
  void CreateSkinSelector();
  void FillSkinList();
  void ApplySelectedSkin();

 private:
  struct TPlatformParts;

  void RunLoop();
  void ReadSettingsFile(const std::string& path);
  void SetSettingsFileAside(const std::string& path, const std::string& why);
  void CreatePlatformWindows();
  void DestroyPlatformWindows();

  std::unique_ptr<TPlatformParts> platform_;
  std::unique_ptr<TAdvancedINIFile> settings_;
  // False when a damaged settings file could not be set aside: it is then
  // left as it is rather than saved over.
  bool settingsWritable_ = true;
  // The skin list's entries as shown, and the names on disk they stand for.
  std::map<std::string, std::string> skinNames_;
  std::unique_ptr<TEntityManager> entityManager_;
  std::unique_ptr<TUIManagerBase> uiManager_;

  std::unique_ptr<TBasicEntity> exit_;
  std::unique_ptr<TStringEntity> title_;
  std::unique_ptr<TBasicEntity> help_;
  std::unique_ptr<TStringEntity> time_;
  std::unique_ptr<TBasicEntity> timer_;
  std::unique_ptr<TStringEntity> execute_;
  std::unique_ptr<TBasicEntity> reloadSkin_;
  std::unique_ptr<TBasicEntity> selectSkin_;
};

// The program-wide application object: set by the entry point from creation
// until it is freed; null otherwise. Not owned.
extern TAppCore* Application;

// Constructs an application object and completes its construction.
template <class TApp, class... TArgs>
std::unique_ptr<TApp> CreateApplication(TArgs&&... args) {
  auto application = std::make_unique<TApp>(std::forward<TArgs>(args)...);
  application->AfterConstruction();
  return application;
}

// Handles all pending messages of the message loop and returns.
void ProcessMessages();

// Base of objects that belong to the application. Create them with
// MakeAppObject: Init runs once the object is fully constructed and Done
// before its destruction begins.
class TAppObject {
 public:
  explicit TAppObject(TAppCore& application)
      : application_(&application),
        entityManager_(application.EntityManager()),
        uiManager_(application.UIManager()) {}
  virtual ~TAppObject() = default;
  TAppObject(const TAppObject&) = delete;
  TAppObject& operator=(const TAppObject&) = delete;

  virtual void Init() {}
  virtual void Done() {}

  TAppCore& Application() const { return *application_; }
  // The application's entity manager and UI manager when the object was made.
  TEntityManager* EntityManager() const { return entityManager_; }
  TUIManagerBase* UIManager() const { return uiManager_; }

 private:
  TAppCore* application_;
  TEntityManager* entityManager_;
  TUIManagerBase* uiManager_;
};

struct TAppObjectDeleter {
  void operator()(TAppObject* object) const {
    object->Done();
    delete object;
  }
};

template <class TObject>
using TAppObjectPtr = std::unique_ptr<TObject, TAppObjectDeleter>;

template <class TObject, class... TArgs>
TAppObjectPtr<TObject> MakeAppObject(TAppCore& application, TArgs&&... args) {
  static_assert(std::is_base_of_v<TAppObject, TObject>);
  TAppObjectPtr<TObject> object(new TObject(application, std::forward<TArgs>(args)...));
  object->Init();
  return object;
}

}  // namespace app
