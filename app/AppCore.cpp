#include "app/AppCore.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/MultiLog.h"
#include "app/TextUtil.h"
#include "app/VerInfo.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/ListBox.h"
#include "platform/Resources.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "platform/Stream.h"
#include "platform/Window.h"

namespace app {

TAppCore* Application = nullptr;

void ProcessMessages() {
  if (platform::ApplicationExists()) platform::ProcessMessages();
}

struct TAppCore::TPlatformParts {
  std::unique_ptr<platform::TApplication> Application;
  std::unique_ptr<platform::TWindow> MainForm;
  std::unique_ptr<platform::TWindow> SkinSelector;
  std::unique_ptr<platform::TListBox> SkinList;
};

TAppCore::TAppCore() {
  MemoryGuard(true);
  settings_ = std::make_unique<TAdvancedINIFile>();
}

void TAppCore::AfterConstruction() { Log("=== " + GetTitle() + " " + GetVersion() + " ==="); }

TAppCore::~TAppCore() {
  // Normally Run has already taken the UI down; this covers an early end.
  DestroyUIManager();
  DestroyEntityManager();
  DestroyPlatformWindows();
  settings_.reset();
  MemoryGuard(false);
}

std::string TAppCore::GetVersion() const {
  return TFileVersionInfo(platform::ExecutablePath()).GetVersionText();
}

void TAppCore::Run() {
  Log("+TAppCore.Run");
  LoadSettings();
  Prepare();
  ApplySettings();
  uiManager_->ShowWindow("Main");
  Log("=== Application has been shown");
  RunLoop();
  RememberSettings();
  SaveSettings();
  Finish();
  Log("-TAppCore.Run");
}

void TAppCore::Prepare() {
  CreateUI();
  LoadResources();
  RegisterEntities();
  // The key bindings were read before the commands existed.
  uiManager_->SetSystemKeys();
}

void TAppCore::Finish() {
  UnregisterEntities();
  DestroyUI();
}

void TAppCore::RunLoop() {
  platform::TTimer timer(100, [this] { OnTimer(); });
  timer.SetEnabled(true);
  platform::RunMessageLoop();
}

void TAppCore::CreateUI() {
  Log("+TAppCore.CreateUI");
  CreatePlatformWindows();
  platform::SetExceptionHandler([this](const std::string& message) { AppException(message); });
  CreateSkinSelector();
  CreateEntityManager();
  CreateUIManager();
  uiManager_->LoadDefaultSkin();
  Log("-TAppCore.CreateUI");
}

void TAppCore::DestroyUI() {
  Log("+TAppCore.DestroyUI");
  DestroyUIManager();
  DestroyEntityManager();
  DestroyPlatformWindows();
  Log("-TAppCore.DestroyUI");
}

void TAppCore::CreatePlatformWindows() {
  platform_ = std::make_unique<TPlatformParts>();
  platform_->Application = std::make_unique<platform::TApplication>();
  // The main form stays hidden: it only carries the application's title.
  platform_->MainForm = std::make_unique<platform::TWindow>();
  platform_->MainForm->SetText(GetTitle());
  platform::SetApplicationTitle(GetTitle());
}

void TAppCore::DestroyPlatformWindows() {
  if (!platform_) return;
  platform_->SkinList.reset();
  platform_->SkinSelector.reset();
  platform_->MainForm.reset();
  platform::SetExceptionHandler({});
  platform_.reset();
}

std::unique_ptr<TUIManagerBase> TAppCore::NewUIManager(TEntityManager&) {
  return std::make_unique<TNullUIManager>();
}

void TAppCore::CreateEntityManager() { entityManager_ = std::make_unique<TEntityManager>(); }

void TAppCore::CreateUIManager() { uiManager_ = NewUIManager(*entityManager_); }

void TAppCore::DestroyUIManager() { uiManager_.reset(); }

void TAppCore::DestroyEntityManager() { entityManager_.reset(); }

namespace {

// A settings file holds a few hundred bytes; anything near this is not one.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;

}  // namespace

std::string TAppCore::SettingsPath() const {
  const std::string program = AsciiLowerCase(GetTitle());
  return platform::JoinPath(platform::JoinPath(platform::UserConfigDirectory(), program),
                            program + ".ini");
}

void TAppCore::LoadSettings() {
  // The executable carries no defaults resource; a missing one adds nothing.
  settings_->OverloadFromStream(platform::OpenResource("Prefs").get());
  settings_->WriteString("Application.FirstRun", "Yes");
  const std::string path = SettingsPath();
  if (platform::FileExists(path) || platform::DirectoryExists(path)) ReadSettingsFile(path);
  if (SameText(settings_->ReadString("Application.FirstRun"), "Yes")) OnFirstRun();
}

void TAppCore::ReadSettingsFile(const std::string& path) {
  std::string text;
  std::string error;
  if (!platform::ReadWholeFile(path, kMaxSettingsBytes, text, &error))
    return SetSettingsFileAside(path, error);
  if (const std::string damage = TAdvancedINIFile::FindDamage(text); !damage.empty())
    return SetSettingsFileAside(path, damage);
  platform::TMemoryStream stream(text.data(), text.size());
  settings_->OverloadFromStream(&stream);
}

void TAppCore::SetSettingsFileAside(const std::string& path, const std::string& why) {
  const std::string aside = path + ".bad";
  settingsWritable_ = platform::RenameFile(path, aside);
  Log("TAppCore.LoadSettings: " + path + " cannot be used (" + why + "); " +
      (settingsWritable_ ? "kept as " + aside : "left as it is and not saved over") +
      "; the defaults apply");
}

void TAppCore::SaveSettings() {
  settings_->WriteString("Application.FirstRun", "No");
  if (!settingsWritable_) return;
  const std::string path = SettingsPath();
  std::string error = "cannot create the folder " + platform::ExtractFileDir(path);
  if (!platform::CreateDirectories(platform::ExtractFileDir(path)) ||
      !settings_->SaveToFile(path, &error))
    Log("TAppCore.SaveSettings: " + error);
}

namespace {

// Runs one loading step; whatever it throws is swallowed so the next runs.
template <class TStep>
void Swallowing(TStep step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

void TAppCore::LoadResources() {
  const std::string skin = settings_->ReadString("Application.Skin");
  if (!skin.empty()) Swallowing([&] { LoadSkinByName(skin); });
  Swallowing([&] { LoadKeyboard("Keyboard"); });
  Swallowing([&] { LoadLanguage("LangEn"); });
}

void TAppCore::LoadKeyboard(const std::string& resourceName) {
  const auto stream = platform::OpenResource(resourceName);
  if (stream) uiManager_->LoadKeyBindings(*stream);
}

void TAppCore::LoadLanguage(const std::string& resourceName) {
  const auto stream = platform::OpenResource(resourceName);
  if (stream) uiManager_->LoadLanguage(*stream);
}

std::string TAppCore::ProgramDirectory() const { return platform::ExecutableDirectory(); }

std::string TAppCore::SkinsDirectory() const {
  return platform::JoinPath(ProgramDirectory(), "Skins");
}

void TAppCore::LoadSkinByName(const std::string& name) {
  const std::string path = platform::JoinPath(SkinsDirectory(), name);
  if (platform::DirectoryExists(path)) Swallowing([&] { uiManager_->LoadSkinFromFolder(path); });
  if (platform::FileExists(path)) Swallowing([&] { uiManager_->LoadSkinFromZIP(path); });
}

void TAppCore::ReloadSkin() {
  LoadSkinByName(settings_->ReadString("Application.Skin"));
  uiManager_->ShowWindow("Main");
}

void TAppCore::RegisterEntities() {
  TEntityManager& bus = *entityManager_;
  exit_ = std::make_unique<TBasicEntity>(0, 0, 1, MakeCallback<&TAppCore::OnExit>(this));
  bus.RegisterEntity("Application.Exit", exit_.get());
  title_ = std::make_unique<TStringEntity>(GetTitle() + " " + GetVersion());
  bus.RegisterEntity("Application.Title", title_.get());
  bus.AddClient("Application.Title", MakeCallback<&TAppCore::OnTitleChanged>(this));
  help_ = std::make_unique<TBasicEntity>(0, 0, 0, MakeCallback<&TAppCore::OnHelp>(this));
  bus.RegisterEntity("Application.Help", help_.get());
  time_ = std::make_unique<TStringEntity>("00:00");
  bus.RegisterEntity("System.Time", time_.get());
  timer_ = std::make_unique<TBasicEntity>(0, 0, 0);
  bus.RegisterEntity("System.Timer", timer_.get());
  execute_ = std::make_unique<TStringEntity>("", MakeCallback<&TAppCore::OpenDocument>(this));
  bus.RegisterEntity("System.Execute", execute_.get());
  reloadSkin_ =
      std::make_unique<TBasicEntity>(0, 0, 0, MakeCallback<&TAppCore::OnReloadSkin>(this));
  bus.RegisterEntity("Application.ReloadSkin", reloadSkin_.get());
  selectSkin_ =
      std::make_unique<TBasicEntity>(0, 0, 0, MakeCallback<&TAppCore::OnSelectSkin>(this));
  bus.RegisterEntity("Application.SelectSkin", selectSkin_.get());
}

void TAppCore::UnregisterEntities() {
  TEntityManager& bus = *entityManager_;
  bus.UnregisterEntity("Application.SelectSkin", selectSkin_);
  bus.UnregisterEntity("Application.ReloadSkin", reloadSkin_);
  bus.UnregisterEntity("System.Execute", execute_);
  bus.UnregisterEntity("System.Timer", timer_);
  bus.UnregisterEntity("System.Time", time_);
  bus.UnregisterEntity("Application.Help", help_);
  bus.RemoveClient("Application.Title", MakeCallback<&TAppCore::OnTitleChanged>(this));
  bus.UnregisterEntity("Application.Title", title_);
  bus.UnregisterEntity("Application.Exit", exit_);
}

std::string TAppCore::ClockText(int hour, int minute, int second) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2d%s%.2d", hour, second % 2 == 0 ? ":" : " ", minute);
  return text;
}

void TAppCore::OnTimer() {
  TEntityManager& bus = *entityManager_;
  bus.ExecuteQueue();
  const TClockTime time = LocalClock();
  const std::string clock = ClockText(time.Hour, time.Minute, time.Second);
  if (clock != bus.GetString("System.Time")) bus.SetString("System.Time", clock);
  bus.SetValue("System.Timer", bus.GetValue("System.Timer") + 1);
  if (!uiManager_->AnyWindowVisible()) Quit();
}

TAppCore::TClockTime TAppCore::LocalClock() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return TClockTime{local.tm_hour, local.tm_min, local.tm_sec};
}

void TAppCore::Quit() {
  if (uiManager_) uiManager_->HideAll();
  Log("=== Application has been hidden");
  platform::PostQuit(0);
}

void TAppCore::OnExit(TEntityHolder&) { Quit(); }

void TAppCore::OnTitleChanged(TEntityHolder&) {
  platform::SetApplicationTitle(entityManager_->GetString("Application.Title"));
}

void TAppCore::OnHelp(TEntityHolder&) { ShowHelp(); }

void TAppCore::OnReloadSkin(TEntityHolder&) { ReloadSkin(); }

void TAppCore::OnSelectSkin(TEntityHolder&) { SelectSkin(); }

void TAppCore::CreateSkinSelector() {
  auto selector = std::make_unique<platform::TWindow>(platform::TWindow::TStyle::Tool);
  selector->SetText("Skin Selector");
  const platform::TRect work = platform::WorkArea();
  selector->SetBounds(work.Left + 5, work.Bottom - 305, 300, 200);
  auto list = std::make_unique<platform::TListBox>(*selector);
  list->SetBounds(10, 10, 280, 180);
  list->SetAnchors(platform::akLeft | platform::akTop | platform::akRight | platform::akBottom);
  list->SetSorted(true);
  list->OnClick = [this] { ApplySelectedSkin(); };
  platform_->SkinSelector = std::move(selector);
  platform_->SkinList = std::move(list);
  FillSkinList();
}

std::vector<std::string> TAppCore::SkinListEntries(
    const std::vector<platform::TDirEntry>& entries) {
  std::vector<std::string> names{""};  // the built-in skin
  for (const platform::TDirEntry& entry : entries) {
    if (entry.Name == "." || entry.Name == "..") continue;
    const std::string_view name = entry.Name;
    const bool zip = name.size() >= 4 && SameText(name.substr(name.size() - 4), ".ZIP");
    if (entry.IsDirectory || zip) names.push_back(entry.Name);
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
  });
  return names;
}

void TAppCore::FillSkinList() {
  if (!platform_ || !platform_->SkinList) return;
  platform::TListBox& list = *platform_->SkinList;
  list.Clear();
  skinNames_.clear();
  // Names are shown escaped (control characters, invalid UTF-8) and mapped
  // back to the names on disk when chosen.
  for (const std::string& name : SkinListEntries(platform::ListDirectory(SkinsDirectory()))) {
    const std::string shown = EscapeForDisplay(name);
    if (skinNames_.emplace(shown, name).second) list.Add(shown);
  }
  list.SetItemIndex(0);
  const std::string current = EscapeForDisplay(settings_->ReadString("Application.Skin"));
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Item(i) == current) list.SetItemIndex(i);
  }
}

platform::TWindow* TAppCore::SkinSelector() const {
  return platform_ ? platform_->SkinSelector.get() : nullptr;
}

platform::TListBox* TAppCore::SkinList() const {
  return platform_ ? platform_->SkinList.get() : nullptr;
}

void TAppCore::SelectSkin() {
  FillSkinList();
  if (platform_ && platform_->SkinSelector) platform_->SkinSelector->Show();
}

void TAppCore::ApplySelectedSkin() {
  if (!platform_ || !platform_->SkinList) return;
  const platform::TListBox& list = *platform_->SkinList;
  const auto entry = skinNames_.find(list.Item(list.ItemIndex()));
  const std::string name = entry != skinNames_.end() ? entry->second : std::string();
  if (name != settings_->ReadString("Application.Skin")) {
    LoadSkinByName(name);
    uiManager_->ShowWindow("Main");
    settings_->WriteString("Application.Skin", name);
  }
  platform_->SkinSelector->BringToFront();
}

void TAppCore::OpenDocument(TEntityHolder& sender) {
  auto* entity = dynamic_cast<TStringEntity*>(sender.Entity);
  if (!entity) return;
  const std::string target = std::move(entity->Value);
  entity->Value.clear();
  ShellOpen(target, false);
}

void TAppCore::ShellOpen(const std::string& target, bool maximized) {
  platform::OpenDocument(target,
                         maximized ? platform::TShowMode::Maximized : platform::TShowMode::Normal);
}

void TAppCore::ShowHelp() {
  std::string language = settings_->ReadString("Application.Language");
  if (language.empty()) language = "English";
  // HTML help: Linux desktops have no viewer for compiled help.
  const std::string helpDir = platform::JoinPath(ProgramDirectory(), "Help");
  const std::string chosen = platform::JoinPath(helpDir, language + ".html");
  const std::string english = platform::JoinPath(helpDir, "English.html");
  if (platform::FileExists(chosen)) {
    ShellOpen(chosen, true);
  } else if (platform::FileExists(english)) {
    ShellOpen(english, true);
  } else {
    Alert("Help file is not available");
  }
}

void TAppCore::Alert(const std::string& text) {
  Log("!Alert(" + text + ")");
  if (uiManager_ && entityManager_ && uiManager_->WindowExists("Alert")) {
    auto message = std::make_unique<TStringEntity>(text);
    entityManager_->RegisterEntity("Alert.Text", message.get());
    uiManager_->ShowModal("Alert");
    entityManager_->UnregisterEntity("Alert.Text", message);
    return;
  }
  platform::MessageBox(text, GetTitle(), platform::TMessageIcon::Warning);
}

void TAppCore::AppException(const std::string& message) {
  Log("TAppCore.AppException! " + message);
  Alert(message);
}

}  // namespace app
