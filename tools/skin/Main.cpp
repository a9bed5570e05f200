// ludex-skin: looks into skins as the program reads them.
//   ludex-skin ls ARCHIVE          the members TPKZIP lists: name, method,
//                                  compressed size, uncompressed size (tabs)
//   ludex-skin cat PACK NAME       the bytes of member NAME
//   ludex-skin xml PACK [NAME]     NAME (default interface.xml) parsed, one
//                                  element per line
// PACK is a skin folder or a ZIP file. Exit status: 0 done, 1 no such member
// or a damaged archive listing, 2 usage error or unreadable file.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/TextUtil.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "skin/CachedStream.h"
#include "skin/PKZIP.h"
#include "skin/StreamPack.h"
#include "skin/XML.h"

namespace {

constexpr int kMissing = 1;
constexpr int kUsage = 2;

constexpr const char* kUsageText =
    "usage: ludex-skin ls ARCHIVE | cat PACK NAME | xml PACK [NAME]\n";

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "ludex-skin: %s\n", message.c_str());
  return status;
}

// A skin folder or a ZIP file opened the way the skin loader opens them.
class TOpenPack {
 public:
  explicit TOpenPack(const std::string& path) {
    if (platform::DirectoryExists(path)) {
      pack_ = std::make_unique<skin::TDirStrPack>(path);
      return;
    }
    file_ = std::make_unique<platform::TFileStream>(path, platform::TFileStream::Mode::Read);
    cache_ = std::make_unique<skin::TCachedStream>(*file_, 16384, 2);
    auto zip = std::make_unique<skin::TZIPStrPack>(*cache_);
    zip_ = zip.get();
    pack_ = std::move(zip);
  }

  // The member's stream; null when the pack does not hold it (a ZIP pack
  // answers an empty stream for a missing member, so ask its listing).
  std::unique_ptr<platform::TStream> Open(const std::string& name) {
    if (zip_ && !HasZipMember(name)) return nullptr;
    return pack_->OpenStream(name);
  }

 private:
  bool HasZipMember(const std::string& name) const {
    for (const skin::TZIPEntry& entry : zip_->Zip().Entries())
      if (app::SameText(entry.FileName, name)) return true;
    return false;
  }

  std::unique_ptr<platform::TFileStream> file_;
  std::unique_ptr<skin::TCachedStream> cache_;
  std::unique_ptr<skin::TStreamPack> pack_;
  skin::TZIPStrPack* zip_ = nullptr;
};

int List(const std::string& path) {
  platform::TFileStream file(path, platform::TFileStream::Mode::Read);
  skin::TCachedStream cache(file, 16384, 2);
  skin::TPKZIP zip;
  const bool complete = zip.Open(&cache);
  for (const skin::TZIPEntry& entry : zip.Entries())
    std::printf("%s\t%u\t%u\t%u\n", entry.FileName.c_str(), entry.Method, entry.CompressedSize,
                entry.UncompressedSize);
  if (!complete) return Fail(kMissing, path + ": the archive ends inside a member header");
  return 0;
}

int Cat(const std::string& path, const std::string& name) {
  TOpenPack pack(path);
  const std::unique_ptr<platform::TStream> stream = pack.Open(name);
  if (!stream) return Fail(kMissing, path + ": no member \"" + name + "\"");
  const std::vector<std::uint8_t> bytes = stream->ReadAll();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  return 0;
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
  if (!stream) return Fail(kMissing, path + ": no member \"" + name + "\"");
  skin::TCachedStream cache(*stream, 16384, 4);
  skin::TXMLTree tree;
  tree.LoadFromStream(cache);
  if (tree.Root()) PrintTree(tree.Root());
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "ls") return List(args[1]);
  if (args.size() == 3 && args[0] == "cat") return Cat(args[1], args[2]);
  if ((args.size() == 2 || args.size() == 3) && args[0] == "xml")
    return Xml(args[1], args.size() == 3 ? args[2] : "interface.xml");
  std::fputs(kUsageText, stderr);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    return Fail(kUsage, error.what());
  }
}
