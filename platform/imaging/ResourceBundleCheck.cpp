#include "platform/imaging/ResourceBundleCheck.h"

#include <vector>

namespace {

// Bundle layout, all numbers big-endian: "qres", version, tree offset, data
// offset, names offset, and from version 3 on a flags word. Tree nodes are 14
// bytes (22 from version 2 on, with a modification time): name offset (4),
// flags (2), then for a directory the child count (4) and the index of the
// first child (4), else locale (4) and data offset (4). A name is its length
// in characters (2), a hash (4) and UTF-16 text; a data block is its size (4)
// and the bytes.
constexpr uint16_t kDirectoryFlag = 0x02;
// Our bundles are packed uncompressed (pictures do not shrink); refusing
// compressed entries keeps Qt from inflating sizes read from a damaged file.
constexpr uint16_t kCompressedFlags = 0x01 | 0x04;

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
  bool Has(uint64_t offset, uint64_t length) const { return offset <= m_bytes.size() && length <= m_bytes.size() - offset; }
  uint32_t U32(uint64_t offset) const {
    const auto* p = m_bytes.data() + offset;
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
  }
  uint16_t U16(uint64_t offset) const {
    const auto* p = m_bytes.data() + offset;
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
  }

 private:
  std::span<const uint8_t> m_bytes;
};

}  // namespace

bool IsWellFormedResourceBundle(std::span<const uint8_t> bytes) {
  const Reader r(bytes);
  if (!r.Has(0, 20) || bytes[0] != 'q' || bytes[1] != 'r' || bytes[2] != 'e' || bytes[3] != 's') return false;
  const uint32_t version = r.U32(4);
  if (version < 1 || version > 3) return false;
  if (version >= 3 && !r.Has(0, 24)) return false;
  const uint64_t tree = r.U32(8), data = r.U32(12), names = r.U32(16);
  const uint64_t nodeSize = version >= 2 ? 22 : 14;

  // Children always follow their parent, so the walk cannot loop; the visit
  // limit stops a damaged file whose directories share children.
  std::vector<uint64_t> pending{0};
  uint64_t visitsLeft = bytes.size() / nodeSize;
  while (!pending.empty()) {
    if (visitsLeft-- == 0) return false;
    const uint64_t index = pending.back();
    pending.pop_back();
    const uint64_t node = tree + index * nodeSize;
    if (!r.Has(node, nodeSize)) return false;
    const uint64_t name = names + r.U32(node);
    if (index != 0) {
      if (!r.Has(name, 6) || !r.Has(name + 6, uint64_t{r.U16(name)} * 2)) return false;
    }
    if (r.U16(node + 4) & kDirectoryFlag) {
      const uint64_t count = r.U32(node + 6), first = r.U32(node + 10);
      if (first <= index || !r.Has(tree + first * nodeSize, count * nodeSize)) return false;
      for (uint64_t child = first; child < first + count; ++child) pending.push_back(child);
    } else {
      if (r.U16(node + 4) & kCompressedFlags) return false;
      const uint64_t block = data + r.U32(node + 10);
      if (!r.Has(block, 4) || !r.Has(block + 4, r.U32(block))) return false;
    }
  }
  return true;
}
