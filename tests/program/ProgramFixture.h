#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Lifetime.h"

#include "app/AppCore.h"
#include "controls/KestCtl.h"
#include "controls/KestWnd.h"
#include "platform/Application.h"
#include "platform/ListBox.h"
#include "program/AppManager.h"
#include "ui/UI.h"

namespace program_test {

// The whole program, prepared as for a start, whose "Skins" and "Help"
// folders lie in a folder of the test's choosing. Alerts are recorded
// unless the test wants to see the skinned window.
class TTestProgram : public app::TAppManager {
 public:
  explicit TTestProgram(std::string directory) : directory_(std::move(directory)) {}
  std::string ProgramDirectory() const override { return directory_; }
  // Never the user's own settings.
  std::string SettingsPath() const override { return directory_ + "/config/ludex/ludex.ini"; }
  void Alert(const std::string& text) override {
    Alerts.push_back(text);
    if (ShowAlerts) TAppManager::Alert(text);
  }

  // The file dialogs answer with this path (empty: cancelled).
  std::string ChooseGameFile(bool, const std::string&, const std::string&) override {
    return ChosenFile;
  }

  std::vector<std::string> Alerts;
  bool ShowAlerts = false;
  std::string ChosenFile;

 private:
  std::string directory_;
};

// A fresh program folder per test, and the program once Start is called.
class Program : public ::testing::Test {
 protected:
  Program() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("ludex-program-" + std::to_string(::getpid()) + "-" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~Program() override {
    Stop();
    std::error_code ignored;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder_, ignored);
  }

  void Start(bool withSettings = false) {
    program_ = app::CreateApplication<TTestProgram>(folder_.string());
    app::Application = program_.get();
    if (withSettings) program_->LoadSettings();
    program_->Prepare();
    if (withSettings) program_->ApplySettings();
    UI().ShowWindow("Main");
  }
  // As the program runs: the settings are read before the start and
  // written at the end.
  void StartWithSettings() { Start(true); }
  void StopWithSettings() {
    program_->RememberSettings();
    program_->SaveSettings();
    Stop();
  }
  void Stop() {
    if (!program_) return;
    program_->Finish();
    app::Application = nullptr;
    program_.reset();
  }

  TTestProgram& App() { return *program_; }
  ui::TUIManager& UI() { return *program_->UI(); }
  app::TEntityManager& Bus() { return *program_->EntityManager(); }
  std::string Folder() const { return folder_.string(); }
  std::string SkinsFolder() const { return (folder_ / "Skins").string(); }
  std::string SettingsFile() const { return (folder_ / "config/ludex/ludex.ini").string(); }

  // A folder skin holding interface.xml (and any files given).
  void WriteSkin(const std::string& name, const std::string& xml) {
    const std::filesystem::path skin = folder_ / "Skins" / name;
    std::filesystem::create_directories(skin);
    WriteFile((skin / "interface.xml").string(), xml);
  }
  // A ZIP skin made from a folder skin of the same content.
  void WriteZipSkin(const std::string& name, const std::string& xml) {
    const std::filesystem::path source = folder_ / "zip-source";
    std::filesystem::create_directories(source);
    WriteFile((source / "interface.xml").string(), xml);
    const std::string zip = (folder_ / "Skins" / name).string();
    std::filesystem::create_directories(folder_ / "Skins");
    const std::string command =
        "cd '" + source.string() + "' && cmake -E tar cf '" + zip + "' --format=zip interface.xml";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::filesystem::remove_all(source);
  }
  static void WriteFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }

  // The skin list as the selector shows it.
  std::vector<std::string> ListedSkins() {
    std::vector<std::string> names;
    platform::TListBox& list = *App().SkinList();
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.Item(i));
    return names;
  }
  // A click on the entry that shows `shown`.
  void ChooseSkin(const std::string& shown) {
    platform::TListBox& list = *App().SkinList();
    for (int i = 0; i < list.Count(); ++i) {
      if (list.Item(i) == shown) {
        list.SetItemIndex(i);
        list.OnClick();
        return;
      }
    }
    ADD_FAILURE() << "no entry " << shown;
  }

  controls::TSkinWindow* MainWindow() { return UI().GetWindow("Main"); }
  controls::TKestControl* Control(const std::string& id) { return UI().FindControl(id); }
  // The built-in "Main" is open: the one whose chess board links the game.
  bool BuiltInMain() {
    controls::TSkinWindow* main = MainWindow();
    return main != nullptr && HasLink(*main, "Application.ChessBoard");
  }
  static bool HasLink(const controls::TKestControl& control, const std::string& link) {
    return FindLinked(control, link) != nullptr;
  }
  // The first control linked to the name, the control itself first.
  static const controls::TKestControl* FindLinked(const controls::TKestControl& control,
                                                  const std::string& link) {
    if (control.Link == link) return &control;
    for (const auto& child : control.Controls()) {
      if (!child) continue;
      if (const controls::TKestControl* found = FindLinked(*child, link)) return found;
    }
    return nullptr;
  }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<TTestProgram> program_;
};

// A skin whose "Main" carries a marker panel, to tell which skin is shown.
inline std::string MarkedSkin(const std::string& marker) {
  return "<SKIN><WINDOW id=\"Main\" size=\"200,120\"><PANEL id=\"" + marker +
         "\" pos=\"0,0\" size=\"10,10\"/></WINDOW></SKIN>";
}

}  // namespace program_test
