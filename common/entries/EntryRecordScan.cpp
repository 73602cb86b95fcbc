// Reading the storage file's records without an item for each: the file is
// read in large pieces, and each record is decoded where it lies.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "common/entries/EntryStrings.h"
#include "common/entries/FeskList.h"
#include "common/store/ScheduleRecord.h"

namespace {

// The longest record: a monthly base record, the block's length and the
// largest block.
constexpr std::size_t kLongestRecord = 51 + 2 + 0xFFFF;
constexpr std::size_t kPieceBytes = 1 << 20;

// The file from a given offset on, read in pieces of which at least one
// longest record is at hand at a time, until the file ends.
class RecordBytes {
 public:
  RecordBytes(int fd, std::uint64_t offset)
      : m_fd(fd), m_offset(offset), m_buffer(new std::uint8_t[kPieceBytes + kLongestRecord]) {}

  // The bytes from the current record on: a longest record or all that is
  // left. False when reading failed.
  bool Ahead(std::span<const std::uint8_t>& bytes) {
    if (m_end - m_begin < kLongestRecord && !m_ended && !Refill()) return false;
    bytes = {m_buffer.get() + m_begin, m_end - m_begin};
    return true;
  }
  // Moves past the record at hand, `size` bytes long.
  void Consume(std::size_t size) { m_begin += size; }
  // The offset in the file of the current record.
  std::uint64_t Offset() const { return m_offset + m_begin; }

 private:
  bool Refill() {
    std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
    m_offset += m_begin;
    m_end -= m_begin;
    m_begin = 0;
    const std::size_t room = kPieceBytes + kLongestRecord;
    while (m_end < room && !m_ended) {
      const ssize_t got = read(m_fd, m_buffer.get() + m_end, room - m_end);
      if (got > 0) {
        m_end += static_cast<std::size_t>(got);
      } else if (got == 0) {
        m_ended = true;
      } else if (errno != EINTR) {
        return false;
      }
    }
    return true;
  }

  int m_fd;
  std::uint64_t m_offset;  // of m_buffer[0]
  std::unique_ptr<std::uint8_t[]> m_buffer;
  std::size_t m_begin = 0;
  std::size_t m_end = 0;
  bool m_ended = false;
};

enum class RecordRead { Whole, Repaired, Skipped, CutOff };

// Decodes the record at the start of `bytes` into `record`, as FeskItem::Read
// reads it; `size` receives its length. The texts are views of `bytes`, or of
// `aligned` where the bytes do not lie at an even address.
RecordRead DecodeRecord(std::span<const std::uint8_t> bytes, std::uint64_t offset, EntryRecord& record,
                        std::vector<char16_t>& aligned, std::size_t& size) {
  BinaryReader reader(bytes);
  std::uint64_t statePos = 0;
  if (!ReadScheduleRecord(reader, record.schedule, &statePos)) return RecordRead::CutOff;
  // The state block is patched in place through a 32-bit offset.
  if (offset + statePos > std::numeric_limits<std::uint32_t>::max()) return RecordRead::CutOff;
  std::uint16_t length = 0;
  std::vector<std::uint8_t> unused;
  std::span<const std::uint8_t> block;
  if (!reader.ReadU16(length) || !reader.ReadView(length, block, unused)) return RecordRead::CutOff;
  size = reader.Position();
  BinaryReader fields(block);
  if (!ReadEntryFixedFields(fields, record.kind, record.contactOid, record.date, record.icon, record.ownSound,
                            record.soundType, record.soundSource, record.volume, record.ownReminder)) {
    return RecordRead::Skipped;
  }
  std::span<const std::uint8_t> strings = block.subspan(kEntryFixedFieldsSize);
  if (reinterpret_cast<std::uintptr_t>(strings.data()) % alignof(char16_t) != 0) {
    aligned.resize(strings.size() / 2 + 1);
    std::memcpy(aligned.data(), strings.data(), strings.size());
    strings = {reinterpret_cast<const std::uint8_t*>(aligned.data()), strings.size()};
  }
  return ReadEntryStrings(strings, record) ? RecordRead::Whole : RecordRead::Repaired;
}

}  // namespace

bool FeskList::ScanRecords(int fd, const RecordVisitor& visit, ScanResult* result,
                           const EntryReminderDefaults& defaults) const {
  ScanResult found;
  const auto finish = [&](bool ok) {
    if (result) *result = found;
    return ok;
  };
  const auto readError = [&] {
    found.refusal = StorageRefusal::ReadError;
    return finish(false);
  };
  if (lseek(fd, 0, SEEK_SET) != 0) return readError();
  std::uint64_t headerBytes = 0;
  {
    BinaryReader header(fd);
    if (!ReadHeader(header, &found.revision, &found.refusal)) return finish(false);
    headerBytes = header.Position();
  }
  if (IsOldRevision(found.revision)) {
    return ScanAnyRevision(
        fd,
        [&visit, texts = std::u16string()](std::unique_ptr<StorageItem>& item) mutable {
          if (const FeskItem* entry = AsEntry(item.get())) visit(EntryRecordOf(*entry, texts));
        },
        result, defaults);
  }
  if (lseek(fd, static_cast<off_t>(headerBytes), SEEK_SET) != static_cast<off_t>(headerBytes)) return readError();
  RecordBytes file(fd, headerBytes);
  ScanUids uids;
  EntryRecord record;
  std::vector<char16_t> aligned;
  for (;;) {
    std::span<const std::uint8_t> bytes;
    if (!file.Ahead(bytes)) return readError();
    if (bytes.empty()) break;
    std::size_t size = 0;
    const RecordRead read = DecodeRecord(bytes, file.Offset(), record, aligned, size);
    if (read != RecordRead::Whole) ++found.damaged;
    // The data ends inside the record: nothing after it can be found.
    if (read == RecordRead::CutOff) break;
    file.Consume(size);
    if (read == RecordRead::Skipped) continue;
    record.schedule.m_nUID = uids.Take(record.schedule.m_nUID);
    visit(record);
  }
  return finish(true);
}
