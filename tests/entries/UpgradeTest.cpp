#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "common/entries/FeskList.h"
#include "common/store/AtomicFile.h"
#include "common/store/StorageMove.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"
#include "tests/entries/EntriesFixture.h"
#include "tests/entries/EntryBytes.h"

namespace entriestest {
namespace {

constexpr std::uint64_t kOldStart = 0x01C0000000000000ULL;

class Upgrade : public EntriesFixture {
 protected:
  void SetUp() override {
    EntriesFixture::SetUp();
    // One day before at 08:00, so that upgraded reminders are easy to tell.
    g_settings.g_dwReminderDate = 1;
    g_settings.g_wReminderTime = 0x0800;
  }

  // Revision 1: length, kind, date, then the names and the note.
  static void Revision1Record(FileBytes& b, std::int32_t uid, std::uint16_t kind, std::uint64_t date,
                              const std::string& strings) {
    b.Record(32, kOldStart, uid).U16(static_cast<std::uint16_t>(10 + strings.size())).U16(kind).U64(date).Raw(strings);
  }

  // Revision 2: length, kind, contact id, date, picture, sound, then the strings with the sound file.
  static void Revision2Record(FileBytes& b, std::int32_t uid, std::uint16_t kind, std::uint32_t oid,
                              std::uint64_t date, const std::string& strings) {
    b.Record(32, kOldStart, uid).U16(static_cast<std::uint16_t>(34 + strings.size())).U16(kind).U32(oid).U64(date);
    b.U32(7).U32(1).U32(2).U32(1).U32(3).Raw(strings);
  }

  void WriteFile(const FileBytes& bytes) { ASSERT_TRUE(testsupport::WriteFileBytes(StoragePath(), bytes.Str())); }

  static std::uint32_t FileRevision(const std::string& bytes) {
    return static_cast<std::uint8_t>(bytes[4]) | static_cast<std::uint8_t>(bytes[5]) << 8 |
           static_cast<std::uint8_t>(bytes[6]) << 16 | static_cast<std::uint8_t>(bytes[7]) << 24;
  }
};

TEST_F(Upgrade, Revision1IsUpgradedOnceAndOnlyOnce) {
  FileBytes file;
  file.Header(0xCE09, 0x0103, 1);
  Revision1Record(file, 5, Birthday, At(1961, 7, 5), Utf16z(u"Ann") + Utf16z(u"Lee") + Utf16z(u"Sings"));
  Revision1Record(file, 9, Anniversary, At(1990, 3, 1), Utf16z(u"Wedding") + Utf16z(u""));
  file.U32(0);
  WriteFile(file);

  FeskList list;
  ASSERT_TRUE(list.LoadAndUpgradeStorage());
  ASSERT_EQ(list.Count(), 2u);
  const FeskItem* ann = AsEntry(list.FindByUID(5));
  ASSERT_NE(ann, nullptr);
  EXPECT_EQ(ann->FirstName(), u"Ann");
  EXPECT_EQ(ann->LastName(), u"Lee");
  EXPECT_EQ(ann->Note(), u"Sings");
  EXPECT_EQ(ann->m_ftDate, At(1961, 7, 5));
  EXPECT_EQ(ann->m_dwIcon, 0u);
  EXPECT_EQ(ann->m_ftStart, At(2001, 7, 4, 8, 0));
  const FeskItem* wedding = AsEntry(list.FindByUID(9));
  ASSERT_NE(wedding, nullptr);
  EXPECT_EQ(wedding->Name(), u"Wedding");
  EXPECT_EQ(wedding->m_ftStart, At(2001, 2, 28, 8, 0));
  EXPECT_EQ(wedding->m_bOwnReminder, 0u);
  EXPECT_GT(list.m_nNextUID, 9);

  const std::string upgraded = FileContent();
  EXPECT_EQ(FileRevision(upgraded), 3u);

  // The second start reads the rewritten file as it is: new defaults do not
  // move the reminders again.
  g_settings.g_dwReminderDate = 0;
  FeskList second;
  ASSERT_TRUE(second.LoadAndUpgradeStorage());
  ASSERT_EQ(second.Count(), 2u);
  EXPECT_EQ(AsEntry(second.FindByUID(5))->m_ftStart, At(2001, 7, 4, 8, 0));
  EXPECT_EQ(AsEntry(second.FindByUID(5))->Note(), u"Sings");
  EXPECT_EQ(FileContent(), upgraded);
}

TEST_F(Upgrade, Revision2GetsDefaultPicturesAndReminders) {
  FileBytes file;
  file.Header(0xCE09, 0x0103, 2);
  Revision2Record(file, 1, Birthday, 0, At(1961, 7, 5),
                  Utf16z(u"Ann") + Utf16z(u"Lee") + Utf16z(u"") + Utf16z(u"/sounds/bell.oga"));
  Revision2Record(file, 2, Anniversary, 0x42, At(1990, 3, 1), Utf16z(u"Wedding") + Utf16z(u"") + Utf16z(u""));
  Revision2Record(file, 3, OtherDate, 0, At(2000, 1, 5), Utf16z(u"Moved") + Utf16z(u"note") + Utf16z(u""));
  // A date in 1604 is a date without a year.
  Revision2Record(file, 4, Birthday, 0, At(1604, 2, 29),
                  Utf16z(u"No") + Utf16z(u"Year") + Utf16z(u"") + Utf16z(u""));
  WriteFile(file);  // ends with the data, without a kind of 0

  FeskList list;
  ASSERT_TRUE(list.LoadAndUpgradeStorage());
  ASSERT_EQ(list.Count(), 4u);
  const FeskItem* ann = AsEntry(list.FindByUID(1));
  const FeskItem* wedding = AsEntry(list.FindByUID(2));
  const FeskItem* moved = AsEntry(list.FindByUID(3));
  EXPECT_EQ(ann->m_dwIcon, 40u);
  EXPECT_EQ(wedding->m_dwIcon, 22u);
  EXPECT_EQ(moved->m_dwIcon, 64u);
  EXPECT_EQ(ann->SoundFile(), u"/sounds/bell.oga");
  EXPECT_EQ(ann->m_bOwnSound, 0u);
  EXPECT_EQ(ann->m_dwSoundType, 2u);
  EXPECT_EQ(ann->m_dwVolume, 3u);
  EXPECT_EQ(wedding->m_dwContactOid, 0x42u);
  EXPECT_EQ(moved->Note(), u"note");
  EXPECT_EQ(ann->m_ftStart, At(2001, 7, 4, 8, 0));
  EXPECT_EQ(wedding->m_ftStart, At(2001, 2, 28, 8, 0));
  // 5 January minus a day.
  EXPECT_EQ(moved->m_ftStart, At(2001, 1, 4, 8, 0));
  // The leap day reminds as a dated one does, the day before 28 February.
  const FeskItem* noYear = AsEntry(list.FindByUID(4));
  EXPECT_FALSE(noYear->HasYear());
  EXPECT_EQ(noYear->LastName(), u"Year");
  EXPECT_EQ(noYear->m_ftStart, At(2001, 2, 27, 8, 0));
  EXPECT_EQ(FileRevision(FileContent()), 3u);
  FeskList upgraded;
  ASSERT_TRUE(upgraded.LoadAndUpgradeStorage());
  EXPECT_EQ(AsEntry(upgraded.FindByUID(4))->m_ftDate, At(1604, 2, 29));
}

TEST_F(Upgrade, ADamagedOldRecordCostsNoOtherRecordAndTheOldFileIsKept) {
  const auto kept = [](std::uint16_t kind, const std::string& strings) {
    return [kind, strings](FileBytes& b) { Revision2Record(b, 8, kind, 0, At(1970, 1, 1), strings); };
  };
  const struct {
    const char* what;
    bool middle;  // the damaged record stands between two good ones, else at the end
    std::function<void(FileBytes&)> damaged;
    std::vector<std::int32_t> uids;
    std::u16string note;  // of entry 8 when it is kept
  } cases[] = {
      {"a note without its end", true, kept(Birthday, Utf16z(u"A") + Utf16z(u"B") + std::string("N\0", 2)), {4, 8, 9},
       u"N"},
      {"no sound file", true, kept(Anniversary, Utf16z(u"A") + Utf16z(u"Note")), {4, 8, 9}, u"Note"},
      {"a length below the fixed fields", true, [](FileBytes& b) { b.Record(32, kOldStart, 8).U16(4).U16(0).U16(0); },
       {4, 9}, u""},
      {"a block cut short", false, [](FileBytes& b) { b.Record(32, kOldStart, 8).U16(200).U16(0).U32(0); }, {4}, u""},
      {"a base record cut short", false, [](FileBytes& b) { b.U32(32).U32(5); }, {4}, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(m_env.ProgramFolder());
    std::filesystem::create_directories(m_env.ProgramFolder());
    FileBytes file;
    file.Header(0xCE09, 0x0103, 2);
    Revision2Record(file, 4, Anniversary, 0, At(1990, 3, 1), Utf16z(u"Kept") + Utf16z(u"") + Utf16z(u""));
    c.damaged(file);
    if (c.middle) Revision2Record(file, 9, OtherDate, 0, At(1991, 4, 2), Utf16z(u"After") + Utf16z(u"") + Utf16z(u""));
    WriteFile(file);
    FeskList list;
    ASSERT_TRUE(list.LoadAndUpgradeStorage());
    std::vector<std::int32_t> uids;
    for (const StorageItem& item : list) uids.push_back(item.m_nUID);
    EXPECT_EQ(uids, c.uids);
    if (const FeskItem* damaged = AsEntry(list.FindByUID(8))) {
      EXPECT_EQ(damaged->Note(), c.note);
    }
    EXPECT_EQ(FileRevision(FileContent()), 3u);
    ExpectOneCopy("rev2", file.Str());
  }
}

TEST_F(Upgrade, AnEarlierCopyIsNeverOverwritten) {
  FileBytes file;
  file.Header(0xCE09, 0x0103, 1);
  Revision1Record(file, 5, Birthday, At(1961, 7, 5), Utf16z(u"Ann") + Utf16z(u"Lee") + std::string("N\0", 2));
  for (int start = 0; start < 2; ++start) {
    WriteFile(file);
    FeskList list;
    ASSERT_TRUE(list.LoadAndUpgradeStorage());
  }
  const auto copies = CopiesBeside(StoragePath());
  ASSERT_EQ(copies.size(), 2u);
  for (const auto& copy : copies) EXPECT_EQ(testsupport::ReadFileBytes(copy), file.Str());
}

TEST_F(Upgrade, TextsTooLongForTheCurrentRecordAreCutNoteFirst) {
  // A birthday's strings hold Ann, Lee and the note with their ends (and, in
  // revision 2, an empty sound file); the current record holds 32,748 units.
  const struct {
    std::uint32_t revision;
    std::size_t units;  // of the old record's strings, terminators included
    std::size_t noteAfter;
  } cases[] = {
      {1, 32747, 32747 - 9}, {1, 32748, 32747 - 9}, {1, 32762, 32747 - 9},
      {2, 32748, 32748 - 10}, {2, 32749, 32748 - 10}, {2, 32750, 32748 - 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "revision " << c.revision << ", " << c.units << " units");
    std::filesystem::remove_all(m_env.ProgramFolder());
    std::filesystem::create_directories(m_env.ProgramFolder());
    const std::size_t fixedUnits = c.revision == 1 ? 9 : 10;
    const std::u16string note(c.units - fixedUnits, u'n');
    std::string strings = Utf16z(u"Ann") + Utf16z(u"Lee") + Utf16z(note);
    FileBytes file;
    file.Header(0xCE09, 0x0103, c.revision);
    if (c.revision == 1) {
      Revision1Record(file, 5, Birthday, At(1961, 7, 5), strings);
    } else {
      Revision2Record(file, 5, Birthday, 0, At(1961, 7, 5), strings + Utf16z(u""));
    }
    WriteFile(file);

    FeskList list;
    ASSERT_TRUE(list.LoadAndUpgradeStorage());
    const FeskItem* ann = AsEntry(list.FindByUID(5));
    ASSERT_NE(ann, nullptr);
    EXPECT_EQ(ann->Note().size(), std::min(note.size(), c.noteAfter));
    EXPECT_EQ(ann->LastName(), u"Lee");
    EXPECT_EQ(FileRevision(FileContent()), 3u);
    if (note.size() > c.noteAfter) {
      ExpectOneCopy("rev" + std::to_string(c.revision), file.Str());
    } else {
      EXPECT_TRUE(CopiesBeside(StoragePath()).empty());
    }
    // Saving the list again now works.
    EXPECT_TRUE(list.SaveStorageLocked());
  }
}

TEST_F(Upgrade, AFailedUpgradeSaveKeepsTheOldFileAndTheEntries) {
  FileBytes file;
  file.Header(0xCE09, 0x0103, 1);
  Revision1Record(file, 5, Birthday, At(1961, 7, 5), Utf16z(u"Ann") + Utf16z(u"Lee") + Utf16z(u""));
  WriteFile(file);
  // A folder where the new file would be written makes the save fail.
  std::filesystem::create_directory(PendingFileName(StoragePath()));

  FeskList list;
  EXPECT_FALSE(list.LoadAndUpgradeStorage());
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(AsEntry(list.FindByUID(5))->LastName(), u"Lee");
  EXPECT_EQ(FileContent(), file.Str());

  // The next start upgrades it.
  std::filesystem::remove(PendingFileName(StoragePath()));
  FeskList next;
  ASSERT_TRUE(next.LoadAndUpgradeStorage());
  EXPECT_EQ(next.Count(), 1u);
  EXPECT_EQ(FileRevision(FileContent()), 3u);
}

// Another program holds the file while the start-up upgrade begins and saves
// it with an entry of its own before it lets go: the upgrade reads what that
// program saved, and writes nothing over it.
TEST_F(Upgrade, ReadUpgradeAndSaveHoldTheStorageMutexThroughout) {
  FileBytes file;
  file.Header(0xCE09, 0x0103, 1);
  Revision1Record(file, 5, Birthday, At(1961, 7, 5), Utf16z(u"Ann") + Utf16z(u"Lee") + Utf16z(u""));
  WriteFile(file);
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(StoragePath())));
  ASSERT_TRUE(mutex);
  auto hold = std::make_unique<platform::NamedMutexLock>(*mutex, 5000);
  ASSERT_TRUE(hold->Acquired());
  FeskList list;
  auto loading = std::async(std::launch::async, [&list] { return list.LoadAndUpgradeStorage(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  FeskList other;
  other.Add(Entry(OtherDate, At(2000, 1, 5), u"Added"));
  ASSERT_TRUE(other.Save());
  hold.reset();
  ASSERT_TRUE(loading.get());
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(AsEntry(&*list.begin())->Name(), u"Added");
  FeskList stored;
  ASSERT_TRUE(stored.Load());
  ASSERT_EQ(stored.Count(), 1u);
  EXPECT_EQ(AsEntry(&*stored.begin())->Name(), u"Added");
}

TEST_F(Upgrade, CurrentAndLaterLowRevisionsLoadAsTheyAre) {
  FeskList list;
  list.Add(Entry(OtherDate, At(2000, 1, 5), u"Moved"));
  ASSERT_TRUE(list.Save());
  std::string bytes = FileContent();
  bytes[4] = 7;  // revision 7 shares the layout of revision 3
  ASSERT_TRUE(testsupport::WriteFileBytes(StoragePath(), bytes));
  FeskList loaded;
  ASSERT_TRUE(loaded.LoadAndUpgradeStorage());
  ASSERT_EQ(loaded.Count(), 1u);
  EXPECT_EQ(FileContent(), bytes);
  bytes[6] = 1;  // revision 0x00010007: another layout
  ASSERT_TRUE(testsupport::WriteFileBytes(StoragePath(), bytes));
  FeskList rejected;
  EXPECT_FALSE(rejected.LoadAndUpgradeStorage());
  EXPECT_TRUE(rejected.IsEmpty());
  EXPECT_TRUE(rejected.m_bRefusedFile);
  // An empty file holds nothing to keep aside: it is not refused.
  ASSERT_TRUE(testsupport::WriteFileBytes(StoragePath(), ""));
  FeskList empty;
  EXPECT_FALSE(empty.LoadAndUpgradeStorage());
  EXPECT_FALSE(empty.m_bRefusedFile);
}

// An older install kept storage.dat in the program folder; the data folder is
// the fixture's folder (NATALO_DATA_DIR).
class OldInstallMove : public Upgrade {
 protected:
  std::string OldFolder() const { return (m_env.Root() / "old").string() + "/"; }
  std::string OldPath() const { return OldFolder() + "storage.dat"; }
  void PlaceOld(const std::string& bytes) {
    std::filesystem::remove_all(OldFolder());
    std::filesystem::remove_all(m_env.ProgramFolder());
    std::filesystem::create_directories(OldFolder());
    std::filesystem::create_directories(m_env.ProgramFolder());
    ASSERT_TRUE(testsupport::WriteFileBytes(OldPath(), bytes));
  }
  StorageMove Move(std::uint32_t timeoutMs = 1000) const {
    return MoveOldStorage(OldFolder(), m_env.ProgramFolder(), timeoutMs).outcome;
  }
};

TEST_F(OldInstallMove, AFileOfEveryRevisionMovesAsItIsAndLoadsFromTheDataFolder) {
  FileBytes revision1, revision2, cutShort;
  revision1.Header(0xCE09, 0x0103, 1);
  Revision1Record(revision1, 5, Birthday, At(1961, 7, 5), Utf16z(u"Ann") + Utf16z(u"Lee") + Utf16z(u""));
  revision1.U32(0);
  revision2.Header(0xCE09, 0x0103, 2);
  Revision2Record(revision2, 4, Anniversary, 0, At(1990, 3, 1), Utf16z(u"Kept") + Utf16z(u"") + Utf16z(u""));
  cutShort = revision2;
  cutShort.Record(32, kOldStart, 8).U16(200).U16(0).U32(0);
  FeskList current;
  current.Add(Entry(OtherDate, At(2000, 1, 5), u"Now"));
  ASSERT_TRUE(current.Save());
  const std::string revision3 = FileContent();
  const struct {
    const char* what;
    std::string bytes;
    std::size_t entries;  // loaded from the data folder afterwards
  } cases[] = {
      {"revision 1", revision1.Str(), 1},
      {"revision 2", revision2.Str(), 1},
      {"revision 3", revision3, 1},
      {"a damaged file", cutShort.Str(), 1},
      {"a foreign file, refused by the load as before", "not a storage file", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PlaceOld(c.bytes);
    ASSERT_TRUE(testsupport::WriteFileBytes(OldPath() + ".id", "0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(Move(), StorageMove::Moved);
    EXPECT_EQ(FileContent(), c.bytes);
    EXPECT_EQ(testsupport::ReadFileBytes(StoragePath() + ".id"), "0123456789abcdef0123456789abcdef");
    EXPECT_FALSE(std::filesystem::exists(OldPath()));
    EXPECT_FALSE(std::filesystem::exists(OldPath() + ".id"));
    FeskList loaded;
    loaded.LoadAndUpgradeStorage();
    EXPECT_EQ(loaded.Count(), c.entries);
    EXPECT_EQ(Move(), StorageMove::NotNeeded);
  }
}

TEST_F(OldInstallMove, WhatCannotMoveStaysWhereItIs) {
  const std::string dates = "dates of the old install";
  PlaceOld(dates);
  {
    // A running program of the old install holds its storage mutex.
    const auto held = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(OldPath())));
    ASSERT_TRUE(held && held->Wait(0) == platform::WaitResult::Acquired);
    std::future<StorageMove> blocked = std::async(std::launch::async, [this] { return Move(50); });
    EXPECT_EQ(blocked.get(), StorageMove::Failed);
    held->Release();
  }
  EXPECT_EQ(testsupport::ReadFileBytes(OldPath()), dates);
  EXPECT_FALSE(std::filesystem::exists(StoragePath()));
  std::string problem;
  EXPECT_EQ(PrepareDataFolder(OldFolder(), problem), m_env.ProgramFolder());
  EXPECT_EQ(FileContent(), dates);

  PlaceOld("");
  std::filesystem::remove(OldPath());
  ASSERT_EQ(mkfifo(OldPath().c_str(), 0600), 0);
  EXPECT_EQ(Move(), StorageMove::NotMoved);
  EXPECT_TRUE(std::filesystem::is_fifo(OldPath()));
  EXPECT_FALSE(std::filesystem::exists(StoragePath()));
}

TEST_F(OldInstallMove, AReadOnlyOldFolderKeepsItsFileAndTheCopyIsUsed) {
  const std::string dates(70000, 'd');
  PlaceOld(dates);
  // Root ignores permissions: the move runs in a child as an ordinary user.
  const auto run = m_env.Root() / "run-user";
  std::filesystem::create_directories(run);
  ASSERT_EQ(chmod(m_env.Root().c_str(), 0711), 0);
  ASSERT_EQ(chmod(OldFolder().c_str(), 0555), 0);
  ASSERT_EQ(chmod(m_env.ProgramFolder().c_str(), 0700), 0);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(m_env.ProgramFolder().c_str(), 65534, 65534), 0);
    ASSERT_EQ(chown(run.c_str(), 65534, 65534), 0);
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
    _exit(Move() == StorageMove::MovedOldKept ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(testsupport::ReadFileBytes(OldPath()), dates);
  EXPECT_EQ(FileContent(), dates);
  EXPECT_EQ(Move(), StorageMove::NotNeeded);
  ASSERT_EQ(chown(m_env.ProgramFolder().c_str(), getuid(), getgid()), 0);
  EXPECT_EQ(FeskList().m_szPath, StoragePath());
}

TEST_F(OldInstallMove, TwoProgramsStartingAtOnceMoveItOnce) {
  const std::string dates(4 << 20, 'x');
  PlaceOld(dates);
  auto start = [this] { return std::async(std::launch::async, [this] { return Move(10'000); }); };
  std::future<StorageMove> first = start(), second = start();
  std::vector<StorageMove> outcomes{first.get(), second.get()};
  std::sort(outcomes.begin(), outcomes.end());
  EXPECT_EQ(outcomes, (std::vector<StorageMove>{StorageMove::NotNeeded, StorageMove::Moved}));
  EXPECT_EQ(FileContent(), dates);
  EXPECT_FALSE(std::filesystem::exists(OldPath()));
  EXPECT_EQ(CopiesBeside(StoragePath()), std::vector<std::string>{});
}

}  // namespace
}  // namespace entriestest
