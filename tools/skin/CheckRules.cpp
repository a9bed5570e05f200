#include "tools/skin/CheckRules.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/Entities.h"
#include "app/TextUtil.h"
#include "skin/KestRes.h"
#include "skin/KestUtil.h"
#include "skin/Limits.h"
#include "tools/skin/Cycles.h"
#include "tools/skin/SkinIndex.h"

namespace skintool {

using app::Quoted;
using skin::TXMLAttr;
using skin::TXMLNode;

namespace {

// How the loader reads an element, by where it stands.
enum class TZone {
  Root,
  Resource,  // a child of the root the resources are built from
  Area,      // an AREA of an IMAGE
  MenuItem,  // any element inside a MENU
  Control,   // a WINDOW, a TGROUP and everything inside them
  Skipped,   // never read
};

// What the value of an attribute names.
enum class TNames { Image, Font, Menu, Command };

struct TNamingAttribute {
  const char* Name;
  TNames Names;
};

// The attributes whose value names a resource or an entity of the program.
constexpr TNamingAttribute kNamingAttributes[] = {
    {"bg", TNames::Image},       {"bar", TNames::Image},     {"figures", TNames::Image},
    {"squares", TNames::Image},  {"tabs", TNames::Image},    {"tabn", TNames::Image},
    {"sequence", TNames::Image}, {"pattern", TNames::Image}, {"font", TNames::Font},
    {"popup", TNames::Menu},     {"link", TNames::Command},
};

constexpr const char* kResourceTags[] = {"COLOR", "FONT", "IMAGE", "MENU", "MACROS"};

// Tags the loader knows besides the control classes: templates and their
// uses, and the pages of a page container, which are plain controls.
constexpr const char* kStructureTags[] = {"TGROUP", "GROUP", "PAGE"};

template <std::size_t N>
bool IsOneOf(std::string_view tag, const char* const (&tags)[N]) {
  return std::any_of(std::begin(tags), std::end(tags),
                     [tag](const char* known) { return app::SameText(tag, known); });
}

std::optional<TNames> NamesOf(std::string_view attribute) {
  for (const TNamingAttribute& naming : kNamingAttributes)
    if (app::SameText(attribute, naming.Name)) return naming.Names;
  return std::nullopt;
}

std::string Tag(const TXMLNode& node) { return "<" + node.Name + ">"; }

// How the loader reads a child of `parent`, which it reads as `zone`.
TZone ZoneOf(const TXMLNode& parent, TZone zone, const TXMLNode& child) {
  switch (zone) {
    case TZone::Root:
      if (IsOneOf(child.Name, kResourceTags)) return TZone::Resource;
      if (app::SameText(child.Name, "WINDOW") || app::SameText(child.Name, "TGROUP"))
        return TZone::Control;
      return TZone::Skipped;
    case TZone::Resource:
      if (app::SameText(parent.Name, "MENU")) return TZone::MenuItem;
      if (app::SameText(parent.Name, "IMAGE") && app::SameText(child.Name, "AREA"))
        return TZone::Area;
      return TZone::Skipped;
    case TZone::MenuItem:
      return TZone::MenuItem;
    case TZone::Control:
      return TZone::Control;
    default:
      return TZone::Skipped;
  }
}

class TChecker {
 public:
  TChecker(const TLoadFacts& facts, TFindings& findings)
      : facts_(facts), index_(facts.Root), builtin_(facts.BuiltinRoot), findings_(findings) {}

  void Run() {
    if (!facts_.Root) {
      Add(nullptr, "", "the document holds no element");
      return;
    }
    Walk();
    if (!index_.Window("Main")) Add(facts_.Root, "", "no WINDOW \"Main\"");
    ReportCycles(templateUses_, "template", "uses");
    ReportCycles(macroRuns_, "macro", "runs");
  }

 private:
  // An element to check, how the loader reads it, its parent and the
  // template it lies in (null outside templates).
  struct TVisit {
    const TXMLNode* Node;
    TZone Zone;
    const TXMLNode* Parent;
    const TXMLNode* Template;
  };

  void Walk() {
    std::vector<TVisit> pending{{facts_.Root, TZone::Root, nullptr, nullptr}};
    while (!pending.empty()) {
      const TVisit visit = pending.back();
      pending.pop_back();
      CheckElement(visit);
      if (visit.Zone == TZone::Skipped) continue;
      const TXMLNode& node = *visit.Node;
      const bool isTemplate = visit.Zone == TZone::Control && app::SameText(node.Name, "TGROUP");
      for (std::size_t i = node.ChildCount(); i-- > 0;) {
        const TXMLNode& child = *node.Child(i);
        pending.push_back(
            {&child, ZoneOf(node, visit.Zone, child), &node, isTemplate ? &node : visit.Template});
      }
    }
  }

  void CheckElement(const TVisit& visit) {
    const TXMLNode& node = *visit.Node;
    switch (visit.Zone) {
      case TZone::Root:
        return;  // the root's attributes describe the skin to people
      case TZone::Skipped:
        if (!node.Name.empty()) Add(&node, "", SkippedMessage(node, *visit.Parent));
        return;
      case TZone::Control:
        CheckControlTag(node);
        if (app::SameText(node.Name, "WINDOW"))
          CheckFirstOfId(node, index_.Window(node.GetAttr("id")), "built");
        if (app::SameText(node.Name, "TGROUP"))
          CheckFirstOfId(node, index_.Template(node.GetAttr("id")), "used");
        if (app::SameText(node.Name, "GROUP")) CheckGroup(node, visit.Template);
        break;
      case TZone::Resource:
        CheckFirstOfId(node, index_.Resource(node.Name, node.GetAttr("id")), "used");
        if (app::SameText(node.Name, "IMAGE")) CheckPicture(node);
        break;
      case TZone::Area:
        CheckArea(node, *visit.Parent);
        break;
      case TZone::MenuItem:
        break;
    }
    CheckAttributes(node, visit.Zone);
  }

  std::string SkippedMessage(const TXMLNode& node, const TXMLNode& parent) const {
    if (&parent == facts_.Root) return "unknown tag " + Tag(node) + ": the loader skips it";
    if (app::SameText(parent.Name, "IMAGE"))
      return "unknown tag " + Tag(node) + ": the loader reads only AREA inside " + Tag(parent);
    return Tag(node) + " inside " + Tag(parent) + " is skipped: the loader reads nothing there";
  }

  void CheckControlTag(const TXMLNode& node) {
    if (node.Name.empty() || IsOneOf(node.Name, kStructureTags)) return;
    for (const std::string& tag : facts_.ClassTags)
      if (app::SameText(tag, node.Name)) return;
    Add(&node, "", "unknown tag " + Tag(node) + ": built as a plain control");
  }

  // A later element of the same tag and id is never found.
  void CheckFirstOfId(const TXMLNode& node, const TXMLNode* first, std::string_view what) {
    if (!first || first == &node) return;
    Add(&node, "",
        "a " + Tag(node) + " of id " + Quoted(node.GetAttr("id")) +
            " comes before this one, which is never " + std::string(what));
  }

  void CheckGroup(const TXMLNode& group, const TXMLNode* inTemplate) {
    const std::string id = group.GetAttr("group");
    const TXMLNode* pattern = index_.Template(id);
    if (!pattern) {
      Add(&group, AttrName(group, "group"), "no TGROUP " + Quoted(id));
    } else if (inTemplate) {
      templateUses_.push_back({inTemplate, pattern, &group, AttrName(group, "group")});
    }
  }

  void CheckPicture(const TXMLNode& image) {
    const auto* loaded = facts_.Resources->Find<skin::TSkinResImage>(image.GetAttr("id"));
    if (!loaded || index_.Resource("IMAGE", image.GetAttr("id")) != &image) return;
    const std::string file = Quoted(loaded->FileName);
    if (!loaded->Image) {
      Add(&image, AttrName(image, "file"), file + " is no picture the program reads");
    } else if (loaded->Bitmap->IsEmpty() && !facts_.BudgetReached) {
      Add(&image, AttrName(image, "file"), "no file " + file + " in the skin, or it is empty");
    }
  }

  void CheckArea(const TXMLNode& area, const TXMLNode& image) {
    // Glyphs are cut from the whole picture, without a grid.
    if (app::SameText(area.GetAttr("split"), "Underline")) return;
    const platform::TPoint repeat = skin::ParsePair(area.GetAttr("repeat"), 1, 1);
    const std::int64_t cells = std::int64_t{repeat.X} * repeat.Y;
    if (repeat.X >= 1 && repeat.Y >= 1 && cells > skin::limits::kMaxAreaCells) {
      Add(&area, AttrName(area, "repeat"),
          std::to_string(cells) + " cells, more than the " +
              std::to_string(skin::limits::kMaxAreaCells) + " an AREA may have: it gets none");
      return;
    }
    const auto* loaded = facts_.Resources->Find<skin::TSkinResImage>(image.GetAttr("id"));
    if (!loaded || !loaded->Bitmap || loaded->Bitmap->IsEmpty() || repeat.X < 1 || repeat.Y < 1 ||
        index_.Resource("IMAGE", image.GetAttr("id")) != &image)
      return;
    const platform::TPoint pos = skin::ParsePair(area.GetAttr("pos"), 0, 0);
    const platform::TPoint size = skin::ParsePair(area.GetAttr("size"), 10, 10);
    // The grid's last cell, in 64 bits: cells lie one pixel apart.
    const std::int64_t right = pos.X + (repeat.X - 1) * (std::int64_t{size.X} + 1) + size.X;
    const std::int64_t bottom = pos.Y + (repeat.Y - 1) * (std::int64_t{size.Y} + 1) + size.Y;
    const int width = loaded->Bitmap->Width();
    const int height = loaded->Bitmap->Height();
    if (pos.X >= 0 && pos.Y >= 0 && right <= width && bottom <= height) return;
    Add(&area, "",
        "its cells cover " + std::to_string(pos.X) + "," + std::to_string(pos.Y) + " to " +
            std::to_string(right) + "," + std::to_string(bottom) + ", outside the " +
            std::to_string(width) + "x" + std::to_string(height) + " picture");
  }

  void CheckAttributes(const TXMLNode& node, TZone zone) {
    const auto found = facts_.Read.find(&node);
    if (found == facts_.Read.end()) return;
    const std::vector<std::string>& read = found->second;
    // Looking up "id" alone is a search for windows and templates, not a
    // load: the element was never built.
    if (std::all_of(read.begin(), read.end(), [](const std::string& name) { return name == "id"; }))
      return;
    const bool macros = zone == TZone::Resource && app::SameText(node.Name, "MACROS");
    for (const TXMLAttr& attr : node.Attributes()) {
      if (std::find(read.begin(), read.end(), app::AsciiLowerCase(attr.Name)) == read.end()) {
        Add(&node, attr.Name, "unknown attribute: " + Tag(node) + " does not read it");
      } else if (attr.Value.empty()) {
        continue;
      } else if (macros && !app::SameText(attr.Name, "id")) {
        CheckCommand(node, attr, &node);
      } else {
        CheckNaming(node, zone, attr);
      }
    }
  }

  void CheckNaming(const TXMLNode& node, TZone zone, const TXMLAttr& attr) {
    const std::optional<TNames> names = NamesOf(attr.Name);
    if (!names) return;
    switch (*names) {
      case TNames::Image:
        CheckImage(node, zone, attr);
        break;
      case TNames::Font:
        if (!index_.Resource("FONT", attr.Value))
          Add(&node, attr.Name, "no FONT " + Quoted(attr.Value));
        break;
      case TNames::Menu:
        if (!index_.Resource("MENU", attr.Value))
          Add(&node, attr.Name, "no MENU " + Quoted(attr.Value));
        break;
      case TNames::Command:
        // An item that opens a submenu runs nothing: its link only names
        // its caption.
        if (zone != TZone::MenuItem || node.ChildCount() == 0) CheckCommand(node, attr, nullptr);
        break;
    }
  }

  // Resources find only the images defined before them.
  void CheckImage(const TXMLNode& node, TZone zone, const TXMLAttr& attr) {
    const TImageRef ref = ResolveImage(index_, attr.Value);
    const bool before = zone == TZone::Resource;
    if (!ref.Image || (before && index_.Place(*ref.Image) > index_.Place(node))) {
      Add(&node, attr.Name, "no IMAGE " + Quoted(ref.ImageId) + (before ? " before it" : ""));
    } else if (!ref.AreaId.empty() && !ref.Area) {
      Add(&node, attr.Name, "IMAGE " + Quoted(ref.ImageId) + " has no AREA " + Quoted(ref.AreaId));
    }
  }

  // A command runs on the entity bus: its name (before "(") must be one
  // the program registers; a macro it runs must exist.
  void CheckCommand(const TXMLNode& node, const TXMLAttr& attr, const TXMLNode* inMacro) {
    const std::string name = app::SplitName(attr.Value);
    if (!facts_.Registered.contains(app::AsciiLowerCase(name))) {
      Add(&node, attr.Name, Quoted(name) + " is not a name the program registers");
      return;
    }
    if (!app::SameText(name, "Application.RunMacros")) return;
    const std::string macro = app::SplitArgument(attr.Value);
    const TXMLNode* target = index_.Resource("MACROS", macro);
    if (!target && !builtin_.Resource("MACROS", macro)) {
      Add(&node, attr.Name, "no MACROS " + Quoted(macro));
    } else if (target && inMacro) {
      macroRuns_.push_back({inMacro, target, &node, attr.Name});
    }
  }

  void ReportCycles(const std::vector<TReference>& references, const std::string& what,
                    const std::string& verb) {
    for (const TCycle& cycle : FindCycles(references)) {
      std::string loop;
      for (const TXMLNode* element : cycle.Elements) loop += element->GetAttr("id") + " -> ";
      if (cycle.Length > cycle.Elements.size())
        loop += "... (" + std::to_string(cycle.Length) + " in the loop) -> ";
      loop += cycle.Closing->To->GetAttr("id");
      Add(cycle.Closing->Element, cycle.Closing->Attribute,
          what + " " + Quoted(cycle.Closing->To->GetAttr("id")) + " " + verb + " itself: " + loop);
    }
  }

  // The attribute's name as written, for findings about a value the
  // loader looked up.
  static std::string AttrName(const TXMLNode& node, std::string_view name) {
    for (const TXMLAttr& attr : node.Attributes())
      if (app::SameText(attr.Name, name)) return attr.Name;
    return std::string(name);
  }

  void Add(const TXMLNode* node, std::string attribute, std::string message) {
    findings_.Add({node, std::move(attribute), std::move(message)});
  }

  const TLoadFacts& facts_;
  TSkinIndex index_;
  TSkinIndex builtin_;
  std::vector<TReference> templateUses_;
  std::vector<TReference> macroRuns_;
  TFindings& findings_;
};

}  // namespace

void CheckSkin(const TLoadFacts& facts, TFindings& findings) { TChecker(facts, findings).Run(); }

}  // namespace skintool
