// The start-up load with the upgrade of older files, and the stars.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryStrings.h"
#include "common/entries/FeskList.h"
#include "common/entries/OldRevisionReader.h"
#include "common/entries/StarsFile.h"
#include "common/store/StorageCopy.h"
#include "common/text/LocalTable.h"
#include "common/text/ProgramFolder.h"
#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"
#include "platform/memory/HugePageHeap.h"
#include "platform/text/Utf.h"

namespace {

// Far more than the shipped stars file; a larger file is not read at all.
constexpr std::size_t kMaxStarsFileBytes = 16 << 20;

using OldRevisionReader = int (*)(BinaryReader&, FeskList&, const EntryReminderDefaults&);

// The reader of an older revision's records, or nullptr for the current one.
OldRevisionReader OldReaderOf(std::uint32_t revision) {
  switch (revision & 0xFFFF) {
    case 1: return ReadRevision1Records;
    case 2: return ReadRevision2Records;
    default: return nullptr;
  }
}

}  // namespace

bool FeskList::IsOldRevision(std::uint32_t revision) { return OldReaderOf(revision) != nullptr; }

bool FeskList::ScanAnyRevision(int fd, const ItemVisitor& visit, ScanResult* result,
                               const EntryReminderDefaults& defaults) const {
  ScanResult found;
  const auto finish = [&](bool ok) {
    if (result) *result = found;
    return ok;
  };
  if (lseek(fd, 0, SEEK_SET) != 0) {
    found.refusal = StorageRefusal::ReadError;
    return finish(false);
  }
  {
    BinaryReader header(fd);
    if (!ReadHeader(header, &found.revision, &found.refusal)) return finish(false);
  }
  if (lseek(fd, 0, SEEK_SET) != 0) {
    found.refusal = StorageRefusal::ReadError;
    return finish(false);
  }
  BinaryReader reader(fd);
  if (const OldRevisionReader oldReader = OldReaderOf(found.revision)) {
    FeskList old(m_szPath);
    if (!old.ReadHeader(reader, nullptr, &found.refusal)) return finish(false);
    found.damaged = oldReader(reader, old, defaults);
    for (std::unique_ptr<StorageItem>& item : old.TakeItems()) visit(item);
    if (reader.Failed()) {
      found.refusal = StorageRefusal::ReadError;
      return finish(false);
    }
  } else if (!ScanFrom(reader, visit, &found.damaged, &found.refusal)) {
    return finish(false);
  }
  return finish(true);
}

bool FeskList::ScanStorageFile(const ItemVisitor& visit, ScanResult* result,
                               const EntryReminderDefaults& defaults) const {
  platform::UniqueFd fd = platform::OpenRegularFile(m_szPath, O_RDONLY);
  if (!fd.IsOpen()) {
    if (result) {
      *result = ScanResult{};
      result->refusal = errno == ENOENT || errno == ENOTDIR ? StorageRefusal::Missing : StorageRefusal::NotRegular;
    }
    return false;
  }
  return ScanAnyRevision(fd.Get(), visit, result, defaults);
}

bool FeskList::LoadAndUpgradeStorage(const EntryReminderDefaults& defaults) {
  bool ran = false;
  const bool loaded = WithStorageMutex(STORAGE_MUTEX_TIMEOUT, [&] {
    ran = true;
    return LoadAndUpgradeFile(defaults);
  });
  if (!ran) m_eRefusal = StorageRefusal::Locked;
  // A file that is there but gave nothing must not be saved over.
  bool refused = false;
  switch (m_eRefusal) {
    case StorageRefusal::None:
    case StorageRefusal::Missing:
    case StorageRefusal::Empty: break;
    case StorageRefusal::Locked: {
      struct stat info {};
      refused = stat(m_szPath.c_str(), &info) == 0 && info.st_size > 0;
      break;
    }
    default: refused = true; break;
  }
  m_bRefusedFile = !loaded && IsEmpty() && refused;
  return loaded;
}

bool FeskList::LoadAndUpgradeFile(const EntryReminderDefaults& defaults) {
  OldRevisionReader oldReader = nullptr;
  std::uint32_t revision = 0;
  int damaged = 0;
  m_eRefusal = StorageRefusal::None;
  {
    platform::UniqueFd fd = platform::OpenRegularFile(m_szPath, O_RDONLY);
    if (!fd.IsOpen()) {
      m_eRefusal = errno == ENOENT || errno == ENOTDIR ? StorageRefusal::Missing : StorageRefusal::NotRegular;
      return false;
    }
    BinaryReader reader(fd.Get());
    if (!ReadHeader(reader, &revision, &m_eRefusal)) return false;
    oldReader = OldReaderOf(revision);
    if (oldReader) {
      Clear();
      damaged = oldReader(reader, *this, defaults);
      if (reader.Failed()) {
        // Only part of the file was read: nothing of it is used or written.
        Clear();
        m_eRefusal = StorageRefusal::ReadError;
        return false;
      }
      // A save before the upgrade is written compares the file with these.
      RememberFileContent();
    }
  }
  if (!oldReader) {
    // The entries and their texts take about twice the file.
    struct stat info {};
    if (stat(m_szPath.c_str(), &info) == 0 && info.st_size > 0) {
      platform::PrepareHeapForLargeData(2 * static_cast<std::size_t>(info.st_size));
    }
    const bool loaded = Load();
    platform::EndLargeData();
    if (!loaded) return false;
    // The next save writes only what could be read; the file as it was
    // stays beside it, once for each damaged content.
    if (m_nDamagedRecords > 0) {
      const std::string copy = KeepCopyBeside(m_szPath, "damaged", true);
      LogStorageNotice(std::to_string(m_nDamagedRecords) + " damaged record(s) in " + m_szPath +
                       (copy.empty() ? "; no copy could be kept" : "; the file as it was is kept as " + copy));
    }
    return true;
  }
  int cut = 0;
  for (StorageItem& item : *this) {
    if (FeskItem* entry = AsEntry(&item); entry && FitStringsToRecord(*entry)) ++cut;
  }
  m_dwRevision = FESK_REVISION;
  if (damaged > 0 || cut > 0) {
    // The upgrade rewrites the file at once: keep the old one for whatever
    // could not be carried over, or leave it alone.
    const std::string copy = KeepCopyBeside(m_szPath, "rev" + std::to_string(revision & 0xFFFF));
    std::string what = m_szPath + " (revision " + std::to_string(revision & 0xFFFF) + "): ";
    if (damaged > 0) what += std::to_string(damaged) + " damaged record(s); ";
    if (cut > 0) what += std::to_string(cut) + " entry text(s) cut to fit; ";
    if (copy.empty()) {
      LogStorageNotice(what + "no copy could be kept, so the file is not upgraded");
      return false;
    }
    LogStorageNotice(what + "the file as it was is kept as " + copy);
  }
  // Reloading an old file that was not rewritten would read its records in
  // the wrong layout; keep what the old reader found instead.
  if (!Save()) return false;
  return Load();
}

void FeskList::LoadStars() {
  const std::u16string name = GetLocalTable().Get(u"STARS_FILE");
  LoadStarsFile(platform::ToUtf8(GetProgramFolder() + name));
}

std::size_t FeskList::LoadStarsFile(const std::string& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes, kMaxStarsFileBytes)) bytes.clear();
  std::size_t count = 0;
  for (const StarLine& line : ParseStarsFile(bytes)) {
    platform::FileTime date = 0;
    // A date no calendar has cannot be shown or counted; the line is skipped.
    if (!MidnightOf({line.nYear, line.nMonth, line.nDay}, date)) continue;
    auto star = std::make_unique<FeskItem>(Birthday);
    star->SetFirstName(line.szFirstName);
    star->SetLastName(line.szLastName);
    star->SetNote(line.szDescription);
    star->m_ftDate = date;
    star->m_bEnabled = 0;
    star->m_bStar = 1;
    star->m_dwContactOid = 0;
    star->m_dwIcon = kIconStar;
    StorageItem* added = Add(std::move(star));
    added->m_nUID = m_nNextStarUID--;
    ++count;
  }
  return count;
}
