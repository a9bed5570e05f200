// ludex-skin: looks into skins as the program reads them.
//   ludex-skin ls ARCHIVE          the members TPKZIP lists: name, method,
//                                  compressed size, uncompressed size (tabs;
//                                  control characters and "\" in names are
//                                  written as \xHH and \\)
//   ludex-skin cat PACK NAME       the bytes of member NAME
//   ludex-skin xml PACK [NAME]     NAME (default interface.xml) parsed, one
//                                  element per line
//   ludex-skin render PACK WINDOW OUT.png
//                                  the window built and painted as the
//                                  program shows it (PACK may be "builtin")
//   ludex-skin check PACK          the skin's faults, one a line (PACK may
//                                  be "builtin"); exits with 1 when there
//                                  are any (tools/skin/Check.h)
// PACK is a skin folder or a ZIP file. Exit status (tools/skin/Pack.h): 0
// done; 1 no such member, a damaged archive listing or member (CRC mismatch,
// cut short, ...) or a limit reached, reported on standard error after
// printing what the program would read; 2 usage error, unreadable or
// unseekable file, or out of memory. --help and --version answer as in every
// Ludex program.
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/CommandLine.h"
#include "platform/Offscreen.h"
#include "platform/Stream.h"
#include "skin/CachedStream.h"
#include "skin/Limits.h"
#include "skin/PKZIP.h"
#include "skin/XML.h"
#include "tools/skin/Check.h"
#include "tools/skin/Pack.h"
#include "tools/skin/Render.h"

namespace {

using skintool::EscapeName;
using skintool::Fail;
using skintool::kDamaged;
using skintool::kDone;
using skintool::kUsage;
using skintool::TOpenPack;

constexpr app::TCommandLineHelp kHelp{
    "ludex-skin",
    "usage: ludex-skin ls ARCHIVE | cat PACK NAME | xml PACK [NAME] | render PACK WINDOW OUT.png"
    " | check PACK\n",
    "Looks into skins as the program reads them. PACK is a skin folder or a ZIP\n"
    "archive; render and check also take \"builtin\".\n"
    "\n"
    "  ls ARCHIVE                  name, method, compressed and uncompressed size\n"
    "                              of each member, separated by tabs\n"
    "  cat PACK NAME               the bytes of member NAME\n"
    "  xml PACK [NAME]             NAME (default interface.xml) parsed, one element\n"
    "                              per line\n"
    "  render PACK WINDOW OUT.png  the window painted as the program shows it\n"
    "  check PACK                  what the program would forgive or ignore, one\n"
    "                              finding per line\n"
    "  --help, --version           this help; the version\n"
    "\n"
    "Exit status: 0 done; 1 findings, a missing member or a damaged archive;\n"
    "2 usage error or unreadable file. See ludex-skin(1).\n"};

int List(const std::string& path) {
  platform::TFileStream file(path, platform::TFileStream::Mode::Read);
  skin::TCachedStream cache(file, 16384, 2);
  skin::TPKZIP zip;
  const bool complete = zip.Open(&cache);
  for (const skin::TZIPEntry& entry : zip.Entries())
    std::printf("%s\t%u\t%u\t%u\n", EscapeName(entry.FileName).c_str(), entry.Method,
                entry.CompressedSize, entry.UncompressedSize);
  if (!complete) return Fail(kDamaged, path + ": the archive ends inside a member header");
  if (zip.LimitReached())
    return Fail(kDamaged, path + ": listing stopped at the limit of " +
                              std::to_string(skin::limits::kMaxZipEntries) + " members");
  return kDone;
}

int Cat(const std::string& path, const std::string& name) {
  TOpenPack pack(path);
  const std::unique_ptr<platform::TStream> stream = pack.Open(name);
  if (!stream) return Fail(kDamaged, path + ": no member \"" + name + "\"");
  std::vector<char> chunk(65536);
  for (std::int64_t got; (got = stream->Read(chunk.data(), 65536)) > 0;)
    std::fwrite(chunk.data(), 1, static_cast<std::size_t>(got), stdout);
  std::fflush(stdout);
  return pack.ReportDamage(name);
}

std::string Escape(const std::string& value) {
  std::string result;
  for (char c : value) {
    switch (c) {
      case '&':
        result += "&amp;";
        break;
      case '<':
        result += "&lt;";
        break;
      case '>':
        result += "&gt;";
        break;
      case '"':
        result += "&quot;";
        break;
      default:
        result += c;
    }
  }
  return result;
}

void PrintTree(const skin::TXMLNode* root) {
  std::vector<std::pair<const skin::TXMLNode*, std::size_t>> pending{{root, 0}};
  while (!pending.empty()) {
    const auto [node, level] = pending.back();
    pending.pop_back();
    std::string line(level * 2, ' ');
    line += node->Name;
    for (const skin::TXMLAttr& attr : node->Attributes())
      line += " " + attr.Name + "=\"" + Escape(attr.Value) + "\"";
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    for (std::size_t i = node->ChildCount(); i-- > 0;)
      pending.push_back({node->Child(i), level + 1});
  }
}

int Xml(const std::string& path, const std::string& name) {
  TOpenPack pack(path);
  const std::unique_ptr<platform::TStream> stream = pack.Open(name);
  if (!stream) return Fail(kDamaged, path + ": no member \"" + name + "\"");
  skin::TCachedStream cache(*stream, 16384, 4);
  skin::TXMLTree tree;
  tree.LoadFromStream(cache);
  if (tree.Root()) PrintTree(tree.Root());
  std::fflush(stdout);
  int status = pack.ReportDamage(name);
  if (tree.LimitReached())
    status = Fail(kDamaged, path + ": \"" + name +
                                "\": document limit reached (elements, attributes, depth or size)");
  return status;
}

using TArgs = std::vector<std::string>;

// The subcommands: a name, the argument counts it takes after its name, and
// what it runs.
struct TCommand {
  const char* Name;
  std::size_t MinArgs;
  std::size_t MaxArgs;
  int (*Run)(const TArgs& args);
};

constexpr TCommand kCommands[] = {
    {"ls", 1, 1, [](const TArgs& args) { return List(args[1]); }},
    {"cat", 2, 2, [](const TArgs& args) { return Cat(args[1], args[2]); }},
    {"xml", 1, 2,
     [](const TArgs& args) { return Xml(args[1], args.size() == 3 ? args[2] : "interface.xml"); }},
    {"render", 3, 3, [](const TArgs& args) { return skintool::Render(args[1], args[2], args[3]); }},
    {"check", 1, 1, [](const TArgs& args) { return skintool::Check(args[1]); }},
};

int Run(const TArgs& args) {
  for (const TCommand& command : kCommands) {
    if (args.empty() || args[0] != command.Name) continue;
    if (args.size() - 1 >= command.MinArgs && args.size() - 1 <= command.MaxArgs)
      return command.Run(args);
  }
  std::fwrite(kHelp.Usage.data(), 1, kHelp.Usage.size(), stderr);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = app::AnswerOptions(argc, argv, kHelp)) return *status;
  // render and check build windows offscreen, where Qt's notes about the
  // platform (no runtime folder, no window masks) mean nothing to the user.
  platform::QuietOffscreenMessages();
  try {
    return Run(TArgs(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    return Fail(kUsage, error.what());
  }
}
