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
constexpr std::size_t kLongestRecord = BASE_RECORD_SIZE + MONTHLY_GROUP_SIZE + 2 + MAX_EXTENSION_SIZE;
static_assert(FeskList::kRecordPieceBytes == (1 << 20) + kLongestRecord);

// The file from a given offset on, read in pieces of which at least one
// longest record is at hand at a time, until the file ends. Without a source
// of pieces one buffer is used again; with one, each piece comes from there.
class RecordBytes {
 public:
  RecordBytes(int fd, std::uint64_t offset, const FeskList::PieceSource* pieces)
      : m_fd(fd), m_offset(offset), m_pieces(pieces) {
    if (!pieces) {
      m_own.reset(new std::uint8_t[kRoom]);
      m_piece = m_own.get();
    }
  }

  // The bytes from the current record on: a longest record or all that is
  // left. False when reading failed.
  bool Ahead(std::span<const std::uint8_t>& bytes) {
    if (m_end - m_begin < kLongestRecord && !m_ended && !Refill()) return false;
    bytes = {m_piece + m_begin, m_end - m_begin};
    return true;
  }
  // Moves past the record at hand, `size` bytes long.
  void Consume(std::size_t size) { m_begin += size; }
  // The offset in the file of the current record.
  std::uint64_t Offset() const { return m_offset + m_begin; }

 private:
  static constexpr std::size_t kRoom = FeskList::kRecordPieceBytes;

  bool Refill() {
    // What is left of the last piece begins the next one.
    std::uint8_t* const piece = m_pieces ? (*m_pieces)() : m_piece;
    if (m_end > m_begin) std::memmove(piece, m_piece + m_begin, m_end - m_begin);
    m_piece = piece;
    m_offset += m_begin;
    m_end -= m_begin;
    m_begin = 0;
    while (m_end < kRoom && !m_ended) {
      const ssize_t got = read(m_fd, m_piece + m_end, kRoom - m_end);
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
  std::uint64_t m_offset;  // of m_piece[0]
  const FeskList::PieceSource* m_pieces;
  std::unique_ptr<std::uint8_t[]> m_own;
  std::uint8_t* m_piece = nullptr;
  std::size_t m_begin = 0;
  std::size_t m_end = 0;
  bool m_ended = false;
};

enum class RecordRead { Whole, Repaired, Skipped, CutOff };

// Finds the end of the record at the start of `bytes`, which lies at
// `offset` in the file, into `size`: CutOff when the data ends inside it,
// Skipped when its block is too short for an entry, else Whole (its texts
// are not looked at). The same outcomes as FeskItem::Read.
RecordRead FrameRecord(std::span<const std::uint8_t> bytes, std::uint64_t offset, std::size_t& size) {
  const std::size_t schedule = ScheduleRecordSize(bytes);
  if (schedule == 0 || bytes.size() - schedule < 2) return RecordRead::CutOff;
  // The state block is patched in place through a 32-bit offset.
  if (offset + STATE_BLOCK_OFFSET > std::numeric_limits<std::uint32_t>::max()) return RecordRead::CutOff;
  std::uint16_t length = 0;
  std::memcpy(&length, bytes.data() + schedule, sizeof length);
  if (bytes.size() - schedule - 2 < length) return RecordRead::CutOff;
  size = schedule + 2 + length;
  return length < kEntryFixedFieldsSize ? RecordRead::Skipped : RecordRead::Whole;
}

// Decodes a framed record, all of `bytes`, into `record`; false when a text
// did not end inside it. The texts are views of `bytes`, or of `aligned`
// where the bytes do not lie at an even address (else `aligned` is empty).
bool DecodeRecord(std::span<const std::uint8_t> bytes, EntryRecord& record, std::vector<char16_t>& aligned) {
  aligned.clear();
  BinaryReader reader(bytes);
  ReadScheduleRecord(reader, record.schedule);
  std::uint16_t length = 0;
  reader.ReadU16(length);
  const std::span<const std::uint8_t> block = bytes.subspan(static_cast<std::size_t>(reader.Position()));
  BinaryReader fields(block);
  ReadEntryFixedFields(fields, record.kind, record.contactOid, record.date, record.icon, record.ownSound,
                       record.soundType, record.soundSource, record.volume, record.ownReminder);
  std::span<const std::uint8_t> strings = block.subspan(kEntryFixedFieldsSize);
  if (reinterpret_cast<std::uintptr_t>(strings.data()) % alignof(char16_t) != 0) {
    aligned.resize(strings.size() / 2 + 1);
    std::memcpy(aligned.data(), strings.data(), strings.size());
    strings = {reinterpret_cast<const std::uint8_t*>(aligned.data()), strings.size()};
  }
  return ReadEntryStrings(strings, record);
}

// Frames the records of a current file after its header, counting the
// damaged ones, and hands `take(bytes, uid)` each one that is not skipped
// with the UID the list gives it. False when reading failed.
template <typename Take>
bool FrameRecords(RecordBytes& file, int& damaged, const Take& take) {
  StorageList::ScanUids uids;
  for (;;) {
    std::span<const std::uint8_t> bytes;
    if (!file.Ahead(bytes)) return false;
    if (bytes.empty()) return true;
    std::size_t size = 0;
    const RecordRead read = FrameRecord(bytes, file.Offset(), size);
    if (read != RecordRead::Whole) ++damaged;
    // The data ends inside the record: nothing after it can be found.
    if (read == RecordRead::CutOff) return true;
    file.Consume(size);
    if (read == RecordRead::Skipped) continue;
    std::int32_t stored = 0;
    std::memcpy(&stored, bytes.data() + SCHEDULE_UID_OFFSET, sizeof stored);
    take(bytes.first(size), uids.Take(stored));
  }
}

}  // namespace

void KeptTexts::Keep(EntryRecord& record) {
  std::u16string_view* const views[] = {&record.name, &record.firstName, &record.lastName, &record.note,
                                        &record.soundFile};
  std::size_t total = 0;
  for (const std::u16string_view* view : views) total += view->size();
  char16_t* at = m_texts.emplace_back(std::make_unique_for_overwrite<char16_t[]>(total + 1)).get();
  for (std::u16string_view* view : views) {
    if (!view->empty()) std::memcpy(at, view->data(), view->size() * sizeof(char16_t));
    *view = {at, view->size()};
    at += view->size();
  }
}

bool FeskList::ScanRecords(int fd, const RecordVisitor& visit, ScanResult* result,
                           const EntryReminderDefaults& defaults) const {
  std::vector<char16_t> aligned;
  EntryRecord record;
  return ScanFramedRecords(
      fd, nullptr,
      [&](std::span<const std::uint8_t> bytes, std::int32_t uid, int& damaged) {
        if (!DecodeRecord(bytes, record, aligned)) ++damaged;
        record.schedule.m_nUID = uid;
        visit(record);
      },
      [&visit, texts = std::u16string()](const FeskItem& entry) mutable { visit(EntryRecordOf(entry, texts)); }, result,
      defaults);
}

bool FeskList::ScanRecordPlaces(int fd, const PieceSource& pieces, const PlaceVisitor& visit,
                                ScanResult* result) const {
  // The entries of an older revision are written anew as current records,
  // one after another in the pieces.
  std::uint8_t* piece = nullptr;
  std::size_t used = kRecordPieceBytes;
  return ScanFramedRecords(
      fd, &pieces,
      [&visit](std::span<const std::uint8_t> bytes, std::int32_t uid, int&) {
        visit(RecordPlace{bytes.data(), static_cast<std::uint32_t>(bytes.size()), uid});
      },
      [&](const FeskItem& entry) {
        BinaryWriter writer;
        if (!entry.Write(writer) || writer.Data().size() > kRecordPieceBytes) return;
        const std::vector<std::uint8_t>& bytes = writer.Data();
        if (kRecordPieceBytes - used < bytes.size()) {
          piece = pieces();
          used = 0;
        }
        std::memcpy(piece + used, bytes.data(), bytes.size());
        visit(RecordPlace{piece + used, static_cast<std::uint32_t>(bytes.size()), entry.m_nUID});
        used += bytes.size();
      },
      result, CurrentReminderDefaults());
}

bool FeskList::CheckRecords(int fd, ScanResult* result) const {
  return ScanFramedRecords(
      fd, nullptr,
      [](std::span<const std::uint8_t> bytes, std::int32_t, int& damaged) {
        // The block follows the schedule part and its length; its first
        // field is the entry's kind.
        const std::span<const std::uint8_t> block = bytes.subspan(ScheduleRecordSize(bytes) + 2);
        std::uint16_t kind = 0;
        std::memcpy(&kind, block.data(), sizeof kind);
        if (!EntryStringsEnd(block.subspan(kEntryFixedFieldsSize), kind)) ++damaged;
      },
      [](const FeskItem&) {}, result, CurrentReminderDefaults());
}

bool FeskList::DecodeRecordPlace(const RecordPlace& place, EntryRecord& record, std::vector<char16_t>& aligned) {
  const bool whole = DecodeRecord({place.bytes, place.size}, record, aligned);
  record.schedule.m_nUID = place.uid;
  return whole;
}

bool FeskList::ScanFramedRecords(int fd, const PieceSource* pieces, const FramedVisitor& visitFramed,
                                  const std::function<void(const FeskItem&)>& visitOld, ScanResult* result,
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
        [&visitOld](std::unique_ptr<StorageItem>& item) {
          if (const FeskItem* entry = AsEntry(item.get())) visitOld(*entry);
        },
        result, defaults);
  }
  if (lseek(fd, static_cast<off_t>(headerBytes), SEEK_SET) != static_cast<off_t>(headerBytes)) return readError();
  RecordBytes file(fd, headerBytes, pieces);
  const bool read = FrameRecords(file, found.damaged, [&](std::span<const std::uint8_t> bytes, std::int32_t uid) {
    visitFramed(bytes, uid, found.damaged);
  });
  return read ? finish(true) : readError();
}
