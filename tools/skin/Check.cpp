#include "tools/skin/Check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "app/TextUtil.h"
#include "controls/KestCtl.h"
#include "controls/Skins.h"
#include "program/PreparedApp.h"
#include "skin/Limits.h"
#include "skin/PKZIP.h"
#include "skin/XML.h"
#include "tools/skin/CheckRules.h"
#include "tools/skin/DocPaths.h"
#include "tools/skin/Pack.h"
#include "tools/skin/SkinIndex.h"
#include "ui/UI.h"

namespace skintool {

using skin::TXMLNode;

namespace {

constexpr const char* kDocument = "interface.xml";

// Names the program registers only while a modal window is up, which the
// check does not show: the core binds the message of an alert to
// "Alert.Text" while its "Alert" window is shown.
constexpr const char* kModalNames[] = {"Alert.Text"};

// The check builds at most this many windows, and stops building once
// this many controls were built in all: a hostile skin may describe
// thousands of windows of the most controls each.
constexpr std::size_t kMaxCheckedWindows = 256;
constexpr std::size_t kMaxCheckedControls = 50000;

// Records, while it lives, every attribute the program looks up.
class TAttrRecorder : public skin::TAttrObserver {
 public:
  explicit TAttrRecorder(TLoadFacts& facts) : read_(facts.Read) { skin::SetAttrObserver(this); }
  ~TAttrRecorder() override { skin::SetAttrObserver(nullptr); }
  TAttrRecorder(const TAttrRecorder&) = delete;
  TAttrRecorder& operator=(const TAttrRecorder&) = delete;

  void AttributeRead(const TXMLNode& node, std::string_view name) override {
    std::vector<std::string>& names = read_[&node];
    std::string key = app::AsciiLowerCase(name);
    if (std::find(names.begin(), names.end(), key) == names.end()) names.push_back(std::move(key));
  }

 private:
  std::unordered_map<const TXMLNode*, std::vector<std::string>>& read_;
};

std::size_t CountControls(const controls::TKestControl& window) {
  std::size_t count = 0;
  std::vector<const controls::TKestControl*> pending{&window};
  while (!pending.empty()) {
    const controls::TKestControl* control = pending.back();
    pending.pop_back();
    ++count;
    for (const auto& child : control->Controls()) pending.push_back(child.get());
  }
  return count;
}

// The line of each byte offset of the text, from 1.
class TLines {
 public:
  explicit TLines(const std::vector<std::uint8_t>& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') breaks_.push_back(static_cast<std::int64_t>(i));
  }
  std::size_t LineOf(std::int64_t offset) const {
    return static_cast<std::size_t>(std::lower_bound(breaks_.begin(), breaks_.end(), offset) -
                                    breaks_.begin()) +
           1;
  }

 private:
  std::vector<std::int64_t> breaks_;
};

// Loads the pack into the program's external skin and builds its windows
// one at a time, observing what they look up and register; then checks.
class TSkinCheck {
 public:
  TSkinCheck(app::TPreparedApp& application, TOpenPack& pack, std::string name)
      : application_(application),
        skin_(application.UI().ExtSkin()),
        pack_(pack),
        name_(std::move(name)) {}

  int Run() {
    TWatchedPack watched(pack_.Pack());
    const std::vector<skin::TXMLNote> notes = Load(watched);
    NoteRegistered();
    BuildWindows();
    ReportNotes(notes);
    ReportLimits(watched);
    CompleteFacts();
    CheckSkin(facts_, findings_);
    return Print();
  }

 private:
  // Loads the skin as the program does; the reader's repairs.
  std::vector<skin::TXMLNote> Load(TWatchedPack& pack) {
    std::vector<skin::TXMLNote> notes;
    skin_.Tree().SetNotes(&notes);
    {
      TAttrRecorder recorder(facts_);
      application_.UI().LoadSkin(pack);
    }
    skin_.Tree().SetNotes(nullptr);
    return notes;
  }

  void CompleteFacts() {
    facts_.Root = skin_.Tree().Root();
    facts_.Resources = &skin_.ResManager();
    facts_.BudgetReached = skin_.ResManager().BudgetReached();
    facts_.BuiltinRoot = application_.UI().IntSkin().Tree().Root();
    for (const controls::TSkinClass& entry : skin_.Classes())
      facts_.ClassTags.push_back(entry.Name);
    for (const char* name : kModalNames) facts_.Registered.insert(app::AsciiLowerCase(name));
  }

  void NoteRegistered() {
    for (const std::string& name : application_.Entities().RegisteredNames())
      facts_.Registered.insert(app::AsciiLowerCase(name));
  }

  // Each window lives on its own while the names it registers (page lists)
  // are collected.
  void BuildWindows() {
    std::vector<std::pair<const TXMLNode*, std::string>> windows;
    const TSkinIndex index(skin_.Tree().Root());
    for (const TXMLNode* window : index.Windows())
      windows.emplace_back(window, window->GetAttr("id"));
    std::size_t built = 0;
    std::size_t controls = 0;
    for (const auto& [element, id] : windows) {
      if (built == kMaxCheckedWindows || controls >= kMaxCheckedControls) {
        Add(element, "",
            "the check builds no window past " + std::to_string(built) + " windows of " +
                std::to_string(controls) + " controls");
        return;
      }
      std::unique_ptr<controls::TKestControl> window;
      {
        TAttrRecorder recorder(facts_);
        window = skin_.BuildWindow(id);
      }
      if (!window) continue;
      ++built;
      const std::size_t count = CountControls(*window);
      controls += count;
      if (count >= static_cast<std::size_t>(controls::TSkin::kMaxControls)) {
        Add(element, "",
            "the window reaches the limit of " + std::to_string(controls::TSkin::kMaxControls) +
                " controls: elements past it are not built");
      }
      NoteRegistered();
    }
  }

  void ReportNotes(const std::vector<skin::TXMLNote>& notes) {
    if (notes.empty()) return;
    if (notes.size() >= skin::TXMLTree::kMaxNotes) {
      Add(nullptr, "",
          "the reader notes no more than " + std::to_string(skin::TXMLTree::kMaxNotes) +
              " repairs: the document may hold more");
    }
    std::vector<std::uint8_t> text;
    if (std::unique_ptr<platform::TStream> stream = pack_.Open(kDocument)) text = stream->ReadAll();
    const TLines lines(text);
    for (const skin::TXMLNote& note : notes) {
      std::string message = note.Message;
      if (note.Offset >= 0) message += " (line " + std::to_string(lines.LineOf(note.Offset)) + ")";
      Add(note.Element, "", std::move(message));
    }
  }

  void ReportLimits(const TWatchedPack& watched) {
    if (skin_.Tree().LimitReached()) {
      Add(nullptr, "",
          "the document goes past the reader's limits (" +
              std::to_string(skin::limits::kMaxXmlElements) + " elements, " +
              std::to_string(skin::limits::kMaxXmlAttributes) + " attributes to an element, " +
              std::to_string(skin::limits::kMaxXmlDepth) + " levels, " +
              std::to_string(skin::limits::kMaxMemberSize) + " bytes): the rest is not read");
    }
    if (skin_.ResManager().BudgetReached()) {
      Add(nullptr, "",
          "the skin's pictures go past its budget of " +
              std::to_string(skin::limits::kMaxSkinPixels) + " decoded pixels or " +
              std::to_string(skin::limits::kMaxSkinCells) + " cells: later images are empty");
    }
    if (pack_.ListingLimitReached()) {
      AddToFile(name_, "the archive lists more than " +
                           std::to_string(skin::limits::kMaxZipEntries) +
                           " members: the rest are not read");
    }
    for (const TWatchedPack::TDamaged& member : watched.Damaged())
      AddToFile(member.Name, "damaged: " + skin::DescribeDamage(member.Damage));
  }

  int Print() const {
    const TDocPaths paths(skin_.Tree().Root());
    for (const TFinding& finding : findings_.Kept()) {
      std::string line = finding.File;
      if (finding.Element) line.append(":").append(paths.PathOf(finding.Element));
      if (!finding.Attribute.empty()) line.append("@").append(finding.Attribute);
      line = EscapeName(line.append(": ").append(finding.Message));
      line.append("\n");
      std::fwrite(line.data(), 1, line.size(), stdout);
    }
    if (findings_.Count() > findings_.Kept().size()) {
      const std::string more =
          EscapeName(name_ + ": " + std::to_string(findings_.Count() - findings_.Kept().size()) +
                     " more findings") +
          "\n";
      std::fwrite(more.data(), 1, more.size(), stdout);
    }
    std::fflush(stdout);
    return findings_.Count() == 0 ? kDone : kDamaged;
  }

  void Add(const TXMLNode* element, std::string attribute, std::string message) {
    findings_.Add({element, std::move(attribute), std::move(message)});
  }
  void AddToFile(std::string file, std::string message) {
    findings_.Add({nullptr, {}, std::move(message), std::move(file)});
  }

  app::TPreparedApp& application_;
  controls::TSkin& skin_;
  TOpenPack& pack_;
  std::string name_;
  TLoadFacts facts_;
  TFindings findings_;
};

}  // namespace

int Check(const std::string& pack) {
  // Windows are built but never shown.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  app::TPreparedApp application;
  std::unique_ptr<TOpenPack> opened = pack == "builtin"
                                          ? std::make_unique<TOpenPack>(TOpenPack::TBuiltin{})
                                          : std::make_unique<TOpenPack>(pack);
  if (!opened->Open(kDocument)) return Fail(kUsage, pack + ": no " + std::string(kDocument));
  return TSkinCheck(application, *opened, pack).Run();
}

}  // namespace skintool
