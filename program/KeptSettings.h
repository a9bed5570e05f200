#pragma once

namespace ui {
class TUIManager;
}

namespace app {

class TAdvancedINIFile;
class TEntityManager;

// What the program keeps in its settings between runs, besides the chosen
// skin ("Application.Skin", which the skin selector writes itself): the
// switches "GUI.StayOnTop", "GUI.ShowHints" and "GUI.UseTray" (1 or 0),
// "Application.Level" (0..2), and where the main window stood
// ("Main.Left", "Main.Top"). Values that are missing or malformed leave the
// program's own defaults.
void ApplyKeptSettings(TAdvancedINIFile& settings, TEntityManager& bus, ui::TUIManager& ui);
void RememberKeptSettings(TAdvancedINIFile& settings, TEntityManager& bus, ui::TUIManager& ui);

}  // namespace app
