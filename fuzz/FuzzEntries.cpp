#include "fuzz/FuzzEntries.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/TextUtil.h"
#include "platform/Bmp.h"
#include "platform/Stream.h"
#include "skin/CachedStream.h"
#include "skin/Inflate.h"
#include "skin/Limits.h"
#include "skin/PKZIP.h"
#include "skin/StreamPack.h"
#include "skin/XML.h"

#ifdef LUDEX_HAVE_ZLIB
#include <zlib.h>
#endif

namespace fuzz {

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

#ifdef LUDEX_HAVE_ZLIB
// The output of zlib's raw inflate when it decodes the stream completely
// into at most `limit` bytes; false otherwise.
bool ZlibInflate(const std::uint8_t* data, std::size_t size, std::size_t limit,
                 std::vector<std::uint8_t>& out) {
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) return false;
  out.assign(limit, 0);
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = inflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  inflateEnd(&stream);
  return status == Z_STREAM_END;
}
#endif

}  // namespace

void FuzzZip(const std::uint8_t* data, std::size_t size) {
  platform::TMemoryStream file(data, size);
  skin::TCachedStream cached(file, 16384, 2);
  skin::TPKZIP zip;
  zip.Open(&cached);
  const std::size_t count = std::min<std::size_t>(zip.Entries().size(), 64);
  for (std::size_t i = 0; i < count; ++i) {
    zip.Extract(i);
    const skin::TZIPEntry& entry = zip.Entries()[i];
    const std::int64_t present = std::clamp<std::int64_t>(
        static_cast<std::int64_t>(size) - entry.DataOffset, 0, entry.CompressedSize);
    Check(
        static_cast<std::int64_t>(entry.Data.size()) <= (present + 1) * skin::TPKZIP::kMaxExpansion,
        "member larger than its bytes allow");
    Check(entry.Data.size() <= entry.UncompressedSize, "member larger than its stated size");
    Check(static_cast<std::int64_t>(entry.Data.size()) <= skin::limits::kMaxMemberSize,
          "member larger than the limit");
    if (entry.Damage == 0)
      Check(entry.Data.size() == entry.UncompressedSize,
            "a member reported whole has another size than stated");
    zip.Entries()[i].Data = {};  // one member's bytes at a time
  }

  cached.SetPosition(0);
  skin::TZIPStrPack pack(cached);
  Check(pack.Zip().Entries().size() == zip.Entries().size(), "listing differs between opens");
  if (!zip.Entries().empty()) {
    auto stream = pack.OpenStream(zip.Entries().front().FileName);
    Check(stream != nullptr, "pack gave no stream");
    Check(stream->GetSize() <= skin::limits::kMaxMemberSize, "same-name members beyond the limit");
  }
  Check(pack.OpenStream("\x01 no such member") != nullptr, "pack gave null for a missing name");
}

void FuzzInflate(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  const std::size_t outSize = (data[0] | data[1] << 8) * std::size_t{16};
  const std::uint8_t* stream = data + 2;
  const std::size_t streamSize = size - 2;

  std::vector<std::uint8_t> out(outSize, '?');
  skin::TInflater inflater;
  inflater.Inflate(stream, out.data(), out.size(), streamSize);
  Check(std::all_of(out.begin() +
                        static_cast<std::ptrdiff_t>(std::min(inflater.DecodedLength(), out.size())),
                    out.end(), [](std::uint8_t b) { return b == '?'; }),
        "bytes past the decoded length changed");

#ifdef LUDEX_HAVE_ZLIB
  std::vector<std::uint8_t> expected;
  if (!ZlibInflate(stream, streamSize, std::size_t{1} << 20, expected)) return;
  std::vector<std::uint8_t> exact(expected.size(), '?');
  Check(inflater.Inflate(stream, exact.data(), exact.size(), streamSize),
        "zlib decodes a stream we reject");
  Check(exact == expected, "output differs from zlib's");
#endif
}

void FuzzXml(const std::uint8_t* data, std::size_t size) {
  platform::TMemoryStream stream(data, size);
  skin::TXMLTree tree;
  tree.LoadFromStream(stream);
  if (!tree.Root()) return;

  std::size_t elements = 0;
  std::vector<std::pair<const skin::TXMLNode*, int>> pending{{tree.Root(), 1}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    Check(depth <= skin::TXMLTree::kMaxDepth, "tree deeper than the limit");
    Check(++elements <= skin::limits::kMaxXmlElements, "more elements than the limit");
    const auto& attributes = node->Attributes();
    Check(attributes.size() <= skin::limits::kMaxXmlAttributes, "more attributes than the limit");
    for (std::size_t i = 0; i < attributes.size(); ++i) {
      Check(!attributes[i].Name.empty(), "attribute without a name");
      for (std::size_t j = i + 1; j < attributes.size(); ++j)
        Check(!app::SameText(attributes[i].Name, attributes[j].Name), "attribute repeated");
      Check(node->GetAttr(attributes[i].Name) == attributes[i].Value, "GetAttr disagrees");
    }
    for (std::size_t i = 0; i < node->ChildCount(); ++i)
      pending.push_back({node->Child(i), depth + 1});
  }
}

void FuzzBmp(const std::uint8_t* data, std::size_t size) {
  try {
    const platform::TBitmap bitmap = platform::DecodeBmp(data, size);
    Check(bitmap.Width() >= 0 && bitmap.Height() >= 0, "negative size");
    Check(bitmap.Width() <= platform::kMaxBmpSide && bitmap.Height() <= platform::kMaxBmpSide,
          "picture wider than the limit");
    Check(static_cast<std::int64_t>(bitmap.Width()) * bitmap.Height() <= platform::kMaxBmpPixels,
          "picture larger than the limit");
    if (!bitmap.IsEmpty()) {
      volatile std::uint32_t sink = bitmap.Row(bitmap.Height() - 1)[bitmap.Width() - 1];
      (void)sink;
    }
  } catch (const platform::EImageError&) {
  }
}

}  // namespace fuzz
