#include "tools/skinart/Catalog.h"

#include "tools/skinart/Midnight.h"
#include "tools/skinart/Sheet.h"
#include "tools/skinart/Walnut.h"

namespace skinart {

namespace {

struct TSkinEntry {
  std::string_view Name;
  std::vector<TSheetFile> (*Sheets)();
};

std::vector<TSheetFile> BuiltinSheets() { return {{"mix.bmp", BuildSheet()}}; }

constexpr TSkinEntry kSkins[] = {
    {"DefSkin", BuiltinSheets}, {"Walnut", WalnutSheets}, {"Midnight", MidnightSheets}};

}  // namespace

std::vector<std::string_view> SkinNames() {
  std::vector<std::string_view> names;
  for (const TSkinEntry& entry : kSkins) names.push_back(entry.Name);
  return names;
}

std::vector<TSheetFile> SkinSheets(std::string_view skin) {
  for (const TSkinEntry& entry : kSkins)
    if (entry.Name == skin) return entry.Sheets();
  return {};
}

}  // namespace skinart
