#include <fcntl.h>
#include <gtest/gtest.h>

#include <span>
#include <tuple>
#include <vector>

#include "common/entries/FeskItem.h"
#include "common/entries/FeskList.h"
#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"
#include "tests/entries/EntriesFixture.h"
#include "tests/entries/EntryBytes.h"

namespace entriestest {
namespace {

using Records = EntriesFixture;

std::span<const std::uint8_t> AsSpan(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

std::string Written(const FeskItem& entry, bool* ok = nullptr) {
  BinaryWriter writer;
  const bool written = entry.Write(writer);
  if (ok) *ok = written;
  return std::string(writer.Data().begin(), writer.Data().end());
}

bool ReadOne(const std::string& bytes, FeskItem& entry) {
  BinaryReader reader(AsSpan(bytes));
  return entry.Read(reader);
}

// A base record of a Yearly item with UID 7, then an extension block.
FileBytes YearlyBase() {
  FileBytes b;
  b.Record(32, 0x01C0000000000000ULL, 7);
  return b;
}

TEST_F(Records, WriteLaysOutTheBlockByteForByte) {
  auto entry = Entry(Anniversary, At(1990, 6, 1), u"Wedding");
  entry->m_ftStart = 0x01C0000000000000ULL;
  entry->m_nUID = 7;
  entry->m_dwContactOid = 0x11223344;
  entry->m_dwIcon = 22;
  entry->m_bOwnSound = 1;
  entry->m_dwSoundType = 2;
  entry->m_dwSoundSource = 3;
  entry->m_dwVolume = 4;
  entry->m_bOwnReminder = 1;
  entry->SetNote(u"Hi");
  entry->SetSoundFile(u"");

  FileBytes expected = YearlyBase();
  expected.U16(38 + 2 * (7 + 2 + 0 + 3));
  EntryFields(expected, 1, 0x11223344, At(1990, 6, 1), 22, 1, 2, 3, 4, 1);
  expected.Raw(Utf16z(u"Wedding")).Raw(Utf16z(u"Hi")).Raw(Utf16z(u""));
  EXPECT_EQ(Written(*entry), expected.Str());

  // A birthday stores two names; text after an embedded zero is not stored.
  auto person = Entry(Birthday, At(1961, 7, 5), std::u16string(u"Ann\0x", 5), u"Lee");
  person->m_ftStart = 0x01C0000000000000ULL;
  person->m_nUID = 7;
  person->m_dwIcon = 40;
  FileBytes birthday = YearlyBase();
  birthday.U16(38 + 2 * (3 + 3 + 0 + 0 + 4));
  EntryFields(birthday, 0, 0, At(1961, 7, 5), 40);
  birthday.Raw(Utf16z(u"Ann")).Raw(Utf16z(u"Lee")).Raw(Utf16z(u"")).Raw(Utf16z(u""));
  EXPECT_EQ(Written(*person), birthday.Str());
}

TEST_F(Records, WriteAndReadGiveTheSameEntry) {
  auto entry = Entry(Birthday, At(1961, 7, 5), u"Ann", u"Lee");
  entry->m_nUID = 12;
  entry->m_wSkipNext = 1;
  entry->m_ftSnooze = At(2009, 7, 3, 12, 5);
  entry->m_dwSnoozeCounter = 2;
  entry->m_dwContactOid = 99;
  entry->m_dwIcon = 41;
  entry->m_bOwnSound = 1;
  entry->m_dwSoundType = 1;
  entry->m_dwSoundSource = 2;
  entry->m_dwVolume = 5;
  entry->m_bOwnReminder = 1;
  // Lone surrogates are kept as they are: the record holds code units, not characters.
  entry->SetNote(std::u16string(u"line\nbreak ") + char16_t{0xD800} + u"x" + char16_t{0xDC00});
  entry->SetSoundFile(u"/home/ann/sounds/bell.oga");

  FeskItem back;
  ASSERT_TRUE(ReadOne(Written(*entry), back));
  EXPECT_EQ(back.m_wKind, Birthday);
  EXPECT_EQ(back.m_nUID, 12);
  EXPECT_EQ(back.m_wSkipNext, 1);
  EXPECT_EQ(back.m_ftSnooze, entry->m_ftSnooze);
  EXPECT_EQ(back.m_dwSnoozeCounter, 2u);
  EXPECT_EQ(back.m_ftDate, entry->m_ftDate);
  EXPECT_EQ(back.m_dwContactOid, 99u);
  EXPECT_EQ(back.m_dwIcon, 41u);
  EXPECT_EQ(back.m_bOwnSound, 1u);
  EXPECT_EQ(back.m_dwSoundType, 1u);
  EXPECT_EQ(back.m_dwSoundSource, 2u);
  EXPECT_EQ(back.m_dwVolume, 5u);
  EXPECT_EQ(back.m_bOwnReminder, 1u);
  EXPECT_EQ(back.FirstName(), u"Ann");
  EXPECT_EQ(back.LastName(), u"Lee");
  EXPECT_EQ(back.Note(), entry->Note());
  EXPECT_EQ(back.SoundFile(), entry->SoundFile());

  // Read into the same item, as a scan does: nothing of the birthday stays.
  auto other = Entry(OtherDate, At(2001, 1, 1), u"Moved in");
  ASSERT_TRUE(ReadOne(Written(*other), back));
  EXPECT_EQ(back.m_wKind, OtherDate);
  EXPECT_EQ(back.Name(), u"Moved in");
  EXPECT_TRUE(back.SoundFile().empty());
  EXPECT_TRUE(back.Note().empty());
  EXPECT_TRUE(back.FirstName().empty());
  EXPECT_TRUE(back.LastName().empty());
  ASSERT_TRUE(ReadOne(Written(*entry), back));
  EXPECT_TRUE(back.Name().empty());
  EXPECT_EQ(back.LastName(), u"Lee");
}

// The five texts share one block: a text set from another of the same entry,
// or from itself, must be copied before the old block goes.
TEST(EntryStringSetTest, SetsFromItsOwnTextsAndCopiesWhole) {
  FeskItem entry(Birthday);
  entry.SetFirstName(u"Ann");
  entry.SetLastName(u"Lee-Whitmore");
  entry.SetName(entry.LastName());
  entry.SetLastName(entry.LastName().substr(4));
  entry.SetNote(entry.FirstName());
  EXPECT_EQ(entry.Name(), u"Lee-Whitmore");
  EXPECT_EQ(entry.LastName(), u"Whitmore");
  EXPECT_EQ(entry.Note(), u"Ann");
  EXPECT_EQ(entry.FirstName(), u"Ann");
  EXPECT_TRUE(entry.SoundFile().empty());

  FeskItem copy(Birthday);
  copy.Texts() = entry.Texts();
  entry.SetFirstName({});
  EXPECT_EQ(copy.FirstName(), u"Ann");
  EXPECT_EQ(copy.Name(), u"Lee-Whitmore");
  EntryStringSet moved = std::move(copy.Texts());
  EXPECT_EQ(moved.Get(EntryStringSet::LastName), u"Whitmore");
  EXPECT_TRUE(copy.LastName().empty());
  moved.Clear();
  EXPECT_TRUE(moved.Get(EntryStringSet::Note).empty());
}

// Texts are held as bytes while every unit of the entry's five is below 256,
// and lengths as bytes while no text is longer than 255: each way must give
// back every unit, in memory and through a record.
TEST(EntryStringSetTest, KeepsEveryUnitInEachWayOfHoldingThem) {
  const std::u16string latinLong(300, u'\u00E4'), wideLong(300, u'\u20AC');
  struct Case {
    std::u16string first, last, note;
    bool latin1;
  } cases[] = {
      {u"Zo\u00EB", u"M\u00FCller-\u00FF", u"caf\u00E9", true},
      {u"Zo\u00EB", u"Lee", u"\u20AC 5", false},
      {u"Ann", u"\U0001F382", u"", false},
      {u"Ann", u"Abcdefg\u0100xy", u"", false},
      {u"Ann", latinLong, u"x", true},
      {wideLong, u"Lee", u"\u00E9", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.last.size()) + (c.latin1 ? " latin-1" : " utf-16"));
    auto entry = std::make_unique<FeskItem>(Birthday);
    entry->Texts().Assign({u"", c.first, c.last, c.note});
    EXPECT_EQ(entry->FirstName().IsLatin1(), c.latin1);
    EXPECT_EQ(entry->FirstName().str(), c.first);
    EXPECT_EQ(entry->LastName().str(), c.last);
    EXPECT_EQ(entry->Note().str(), c.note);
    EXPECT_TRUE(entry->SoundFile().empty());
    FeskItem back(Birthday);
    ASSERT_TRUE(ReadOne(Written(*entry), back));
    EXPECT_EQ(back.FirstName(), entry->FirstName());
    EXPECT_EQ(back.LastName().str(), c.last);
    EXPECT_EQ(back.Note().str(), c.note);
  }
  // One text above Latin-1 makes the whole block UTF-16, and back.
  FeskItem entry(Birthday);
  entry.SetFirstName(u"Zo\u00EB");
  entry.SetNote(u"\u20AC");
  EXPECT_FALSE(entry.FirstName().IsLatin1());
  entry.SetNote(entry.FirstName());
  EXPECT_TRUE(entry.Note().IsLatin1());
  EXPECT_EQ(entry.Note(), u"Zo\u00EB");
}

TEST_F(Records, StarsAreNeverStored) {
  FeskList list(StoragePath());
  list.Add(Entry(Birthday, At(1961, 7, 5)));
  auto star = Entry(Birthday, At(1950, 1, 1), u"Famous", u"Person");
  star->m_bStar = 1;
  bool ok = false;
  EXPECT_EQ(Written(*star, &ok), "");
  EXPECT_TRUE(ok);
  list.Add(std::move(star));
  ASSERT_TRUE(list.Save());
  FeskList loaded(StoragePath());
  ASSERT_TRUE(loaded.Load());
  EXPECT_EQ(loaded.Count(), 1u);
}

TEST_F(Records, TextsTooLongForTheRecordFailTheSaveAndKeepTheOldFile) {
  FeskList list(StoragePath());
  list.Add(Entry(Birthday, At(1961, 7, 5)));
  ASSERT_TRUE(list.Save());
  const std::string before = FileContent();

  auto huge = Entry(Anniversary, At(1990, 6, 1), u"Wedding");
  huge->SetNote(std::u16string(100'000, u'x'));
  bool ok = true;
  EXPECT_EQ(Written(*huge, &ok), "");
  EXPECT_FALSE(ok);
  list.Add(std::move(huge));
  EXPECT_FALSE(list.Save());
  EXPECT_EQ(FileContent(), before);

  // The largest note that fits is stored and read back whole.
  auto largest = Entry(Anniversary, At(1990, 6, 1), u"");
  largest->SetNote(std::u16string((0xFFFF - 38 - 2 * 3) / 2, u'y'));
  FeskItem back;
  ASSERT_TRUE(ReadOne(Written(*largest, &ok), back));
  EXPECT_TRUE(ok);
  EXPECT_EQ(back.Note(), largest->Note());
}

enum Outcome { Kept, Skipped, Cut };
struct DamagedBlock {
  const char* what;
  std::string bytes;  // one record
  Outcome outcome;
  std::u16string first, last, note;  // Birthday strings, or the name in `first`
};

std::vector<DamagedBlock> DamagedBlocks() {
  const auto block = [](std::uint16_t length, std::uint16_t kind, const std::string& strings) {
    FileBytes b = YearlyBase();
    b.U16(length);
    EntryFields(b, kind, 0, 0x01B0000000000000ULL, 40);
    b.Raw(strings);
    return b.Str();
  };
  const std::string bornStrings = Utf16z(u"Ann") + Utf16z(u"Lee") + Utf16z(u"") + Utf16z(u"");
  const std::uint16_t bornLength = static_cast<std::uint16_t>(38 + bornStrings.size());
  return std::vector<DamagedBlock>{
      {"whole", block(bornLength, 0, bornStrings), Kept, u"Ann", u"Lee", u""},
      {"length 0", YearlyBase().U16(0).Str(), Skipped, u"", u"", u""},
      {"length below the fixed fields", YearlyBase().U16(20).Raw(std::string(20, '\1')).Str(), Skipped, u"", u"", u""},
      {"no strings at all", block(38, 0, ""), Kept, u"", u"", u""},
      {"first name without its end", block(44, 0, std::string("A\0n\0n\0", 6)), Kept, u"Ann", u"", u""},
      {"last name without its end", block(38 + 8 + 6, 0, Utf16z(u"Ann") + std::string("L\0e\0e\0", 6)), Kept, u"Ann",
       u"Lee", u""},
      {"no room after the last name", block(38 + 16, 0, Utf16z(u"Ann") + Utf16z(u"Lee")), Kept, u"Ann", u"Lee", u""},
      {"note without its end", block(38 + 16 + 4, 0, Utf16z(u"Ann") + Utf16z(u"Lee") + std::string("N\0o\0", 4)), Kept,
       u"Ann", u"Lee", u"No"},
      {"sound file missing", block(38 + 6 + 4, 1, Utf16z(u"Wed") + Utf16z(u"N")), Kept, u"Wed", u"", u"N"},
      // Strings are looked through four characters at a time.
      {"whole, with longer strings",
       block(38 + 20 + 18 + 14 + 2, 0, Utf16z(u"Annabelle") + Utf16z(u"Lee-Ward") + Utf16z(u"Call 9") + Utf16z(u"")),
       Kept, u"Annabelle", u"Lee-Ward", u"Call 9"},
      {"long first name without its end", block(38 + 18, 0, std::string("C\0h\0r\0i\0s\0t\0a\0b\0e\0", 18)), Kept,
       u"Christabe", u"", u""},
      {"length past the end of the data", block(0xFFFF, 0, bornStrings), Cut, u"", u"", u""},
      {"fixed fields cut short", YearlyBase().U16(bornLength).U16(0).U32(0).Str(), Cut, u"", u"", u""},
      {"no extension block", YearlyBase().Str(), Cut, u"", u"", u""},
  };
}

TEST_F(Records, DamagedBlocksKeepWhatCanBeRead) {
  for (const auto& c : DamagedBlocks()) {
    SCOPED_TRACE(c.what);
    FeskItem entry;
    entry.SetNote(u"old note");
    BinaryReader reader(AsSpan(c.bytes));
    const bool read = entry.Read(reader);
    EXPECT_EQ(read, c.outcome == Kept);
    if (c.outcome == Skipped) {
      EXPECT_EQ(entry.m_eReadState, RecordState::Skipped);
      // The reader stands at the next record.
      EXPECT_TRUE(reader.AtEnd());
    }
    if (c.outcome == Cut) {
      EXPECT_NE(entry.m_eReadState, RecordState::Skipped);
    }
    if (c.outcome != Kept) {
      EXPECT_EQ(entry.Note(), u"") << "a failed read leaves none of the old strings";
      continue;
    }
    EXPECT_EQ(entry.m_eReadState, std::string_view(c.what).starts_with("whole") ? RecordState::Whole : RecordState::Repaired);
    EXPECT_EQ(entry.m_wKind == Birthday ? entry.FirstName() : entry.Name(), c.first);
    EXPECT_EQ(entry.LastName(), c.last);
    EXPECT_EQ(entry.Note(), c.note);
    EXPECT_EQ(entry.SoundFile(), u"");
  }
}

TEST_F(Records, ADamagedRecordCostsNoOtherRecord) {
  // One / Two (note without its end) / a block too short for its fields / Three,
  // and the same file with Two as its only damaged record.
  for (const bool shortBlock : {true, false}) {
    SCOPED_TRACE(shortBlock ? "two damaged records" : "one damaged record");
    std::filesystem::remove_all(m_env.ProgramFolder());
    std::filesystem::create_directories(m_env.ProgramFolder());
    FileBytes file;
    file.Header(0xCE09, 0x0103, 3);
    const auto record = [&file](std::int32_t uid, const std::string& strings) {
      file.Record(32, 0x01C0000000000000ULL, uid).U16(static_cast<std::uint16_t>(38 + strings.size()));
      EntryFields(file, 2, 0, 0x01B0000000000000ULL, 64).Raw(strings);
    };
    record(1, Utf16z(u"One") + Utf16z(u"") + Utf16z(u""));
    record(2, Utf16z(u"Two") + std::string("n\0o\0t\0e\0", 8));
    if (shortBlock) file.Record(32, 0x01C0000000000000ULL, 3).U16(6).U16(2).U32(0);
    record(4, Utf16z(u"Three") + Utf16z(u"") + Utf16z(u""));
    ASSERT_TRUE(testsupport::WriteFileBytes(StoragePath(), file.Str()));

    FeskList list(StoragePath());
    testing::internal::CaptureStderr();
    const bool loaded = list.LoadAndUpgradeStorage();
    const std::string notice = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(loaded);
    ASSERT_EQ(list.Count(), 3u);
    const int damaged = shortBlock ? 2 : 1;
    EXPECT_EQ(list.m_nDamagedRecords, damaged);
    EXPECT_EQ(AsEntry(list.FindByUID(2))->Note(), u"note");
    EXPECT_EQ(AsEntry(list.FindByUID(4))->Name(), u"Three");
    // The file as it was is kept beside it, once however often it is loaded,
    // and the notice names the count and the copy.
    FeskList again(StoragePath());
    ASSERT_TRUE(again.LoadAndUpgradeStorage());
    ExpectOneCopy("damaged", file.Str());
    const auto copies = CopiesBeside(StoragePath());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NE(notice.find(std::to_string(damaged) + " damaged record(s)"), std::string::npos) << notice;
    EXPECT_NE(notice.find(copies[0]), std::string::npos) << notice;
  }
}

TEST_F(Records, AScanSeesWhatALoadKeeps) {
  // Entries without a UID among numbered ones, a note without its end, a block
  // too short for its fields, and a record cut off by the end of the file.
  FileBytes file;
  file.Header(0xCE09, 0x0103, 3);
  const auto record = [&file](std::int32_t uid, const std::string& strings) {
    file.Record(32, 0x01C0000000000000ULL, uid).U16(static_cast<std::uint16_t>(38 + strings.size()));
    EntryFields(file, 2, 0, 0x01B0000000000000ULL, 64).Raw(strings);
  };
  record(0, Utf16z(u"Zero") + Utf16z(u"") + Utf16z(u""));
  record(6, Utf16z(u"Six") + std::string("n\0o\0", 4));
  file.Record(32, 0x01C0000000000000ULL, 3).U16(6).U16(2).U32(0);
  record(0, Utf16z(u"Again") + Utf16z(u"") + Utf16z(u""));
  record(0, Utf16z(u"Short") + Utf16z(u"") + Utf16z(u""));
  file.Record(32, 0x01C0000000000000ULL, 9).U16(60).U16(2);
  ASSERT_TRUE(testsupport::WriteFileBytes(StoragePath(), file.Str()));

  using Seen = std::vector<std::tuple<std::int32_t, std::u16string, std::u16string>>;
  FeskList list(StoragePath());
  ASSERT_TRUE(list.Load());
  Seen loaded;
  for (const StorageItem& item : list) loaded.emplace_back(item.m_nUID, AsEntry(&item)->Name(), AsEntry(&item)->Note());
  // Every other item is taken, so both fresh and read-over items are seen.
  Seen scanned;
  std::vector<std::unique_ptr<StorageItem>> taken;
  int damaged = -1;
  ASSERT_TRUE(FeskList(StoragePath()).ScanFile([&](std::unique_ptr<StorageItem>& item) {
    scanned.emplace_back(item->m_nUID, AsEntry(item.get())->Name(), AsEntry(item.get())->Note());
    if (scanned.size() % 2 == 1) taken.push_back(std::move(item));
  }, &damaged));
  EXPECT_EQ(scanned, loaded);
  EXPECT_EQ(loaded.size(), 4u);
  EXPECT_EQ(damaged, list.m_nDamagedRecords);
  EXPECT_EQ(damaged, 3);
}

// What a scan gives of each entry, and what it found besides.
struct ScanSeen {
  std::vector<std::tuple<std::int32_t, std::uint16_t, platform::FileTime, std::uint32_t, std::uint16_t, std::u16string,
                         std::u16string, std::u16string, std::u16string, std::u16string>>
      entries;
  bool ok = false;
  FeskList::ScanResult result;

  void Add(const EntryRecord& e) {
    entries.emplace_back(e.schedule.m_nUID, e.kind, e.date, e.schedule.m_bEnabled, e.schedule.m_wSkipNext,
                         std::u16string(e.firstName), std::u16string(e.lastName), std::u16string(e.name),
                         std::u16string(e.note), std::u16string(e.soundFile));
  }
  bool operator==(const ScanSeen& other) const {
    return entries == other.entries && ok == other.ok && result.damaged == other.result.damaged &&
           result.refusal == other.result.refusal && result.revision == other.result.revision;
  }
};

TEST_F(Records, ARecordScanSeesWhatAnItemScanSees) {
  const auto header = [] {
    FileBytes file;
    file.Header(0xCE09, 0x0103, 3);
    return file.Str();
  };
  FileBytes following = YearlyBase();
  EntryFields(following.U16(38 + 12), 2, 0, 0x01B0000000000000ULL, 64).Raw(Utf16z(u"Day") + Utf16z(u"") + Utf16z(u""));
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& c : DamagedBlocks()) files.emplace_back(c.what, header() + c.bytes + following.Str());
  files.emplace_back("no records", header());
  files.emplace_back("cut in the header", header().substr(0, 5));
  // More than the scan reads at once, with names of every length from 0 to
  // 40, so that records lie across the pieces read and at odd addresses.
  FeskList many(StoragePath());
  for (int i = 0; i < 12000; ++i) {
    const std::u16string name(static_cast<std::size_t>(i % 41), static_cast<char16_t>(u'a' + i % 26));
    auto entry = Entry(static_cast<std::uint16_t>(i % 3), At(1950 + i % 60, 1 + i % 12, 1 + i % 28), name, u"Lee");
    entry->SetNote(i % 7 == 0 ? u"note " + name : u"");
    entry->m_bEnabled = i % 5 != 0;
    many.Add(std::move(entry));
  }
  ASSERT_TRUE(many.Save());
  files.emplace_back("12000 entries", testsupport::ReadFileBytes(StoragePath()));
  // A longest record (monthly, with the largest block) that ends the first
  // piece the scan reads exactly: none of it may be taken as cut off.
  FileBytes longest;
  longest.Header(0xCE09, 0x0103, 3);
  for (int i = 0; i < 16; ++i) {  // 65,536 bytes each
    longest.Record(32, 0x01C0000000000000ULL, 100 + i).U16(65498);
    EntryFields(longest, 2, 0, 0x01B0000000000000ULL, 64)
        .Raw(Utf16z(std::u16string(32727, u'f')) + Utf16z(u"") + Utf16z(u""));
  }
  longest.Record(8, 0x01C0000000000000ULL, 200).MonthlyGroup(1, 0, 1, 0, 0).U16(0xFFFF);
  EntryFields(longest, 2, 0, 0x01B0000000000000ULL, 64)
      .Raw(Utf16z(std::u16string(32745, u'm')) + Utf16z(u"") + Utf16z(u"") + std::string(1, '\x7F'));
  ASSERT_EQ(longest.Size(), 8u + 16 * 65536 + 54 + 2 + 65535);
  files.emplace_back("a longest record that ends a piece", longest.Str() + following.Str());

  for (const auto& [what, bytes] : files) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(testsupport::WriteFileBytes(StoragePath(), bytes));
    const platform::UniqueFd fd = platform::OpenRegularFile(StoragePath(), O_RDONLY);
    ASSERT_TRUE(fd.IsOpen());
    const FeskList list(StoragePath());
    ScanSeen items, records;
    items.ok = list.ScanAnyRevision(fd.Get(), [&](std::unique_ptr<StorageItem>& item) {
      std::u16string texts;
      items.Add(EntryRecordOf(*AsEntry(item.get()), texts));
    }, &items.result);
    records.ok = list.ScanRecords(fd.Get(), [&](const EntryRecord& record) { records.Add(record); }, &records.result);
    EXPECT_TRUE(records == items) << records.entries.size() << " records against " << items.entries.size() << " items, "
                                  << records.result.damaged << " damaged against " << items.result.damaged;
    // The places of the records, decoded afterwards, and a check alone find
    // the same.
    ScanSeen places, checked;
    std::vector<std::unique_ptr<std::uint8_t[]>> pieces;
    std::vector<FeskList::RecordPlace> found;
    places.ok = list.ScanRecordPlaces(
        fd.Get(), [&] { return pieces.emplace_back(new std::uint8_t[FeskList::kRecordPieceBytes]).get(); },
        [&](const FeskList::RecordPlace& place) { found.push_back(place); }, &places.result);
    EntryRecord record;
    std::vector<char16_t> aligned;
    for (const FeskList::RecordPlace& place : found) {
      if (!FeskList::DecodeRecordPlace(place, record, aligned)) ++places.result.damaged;
      places.Add(record);
    }
    EXPECT_TRUE(places == items) << places.entries.size() << " places, " << places.result.damaged << " damaged";
    checked.ok = list.CheckRecords(fd.Get(), &checked.result);
    checked.entries = items.entries;
    EXPECT_TRUE(checked == items) << checked.result.damaged << " damaged";
  }
}

TEST_F(Records, TheNextRecordStartsWhereTheLengthSays) {
  // Extra bytes after the strings (an odd one among them) belong to the record.
  FileBytes file;
  file.Header(0xCE09, 0x0103, 3);
  const std::string strings = Utf16z(u"Wed") + Utf16z(u"") + Utf16z(u"") + std::string("\x7F\x01\x02", 3);
  file.Raw(YearlyBase().Str()).U16(static_cast<std::uint16_t>(38 + strings.size()));
  EntryFields(file, 1, 0, 0x01B0000000000000ULL, 22).Raw(strings);
  file.Record(32, 0x01C0000000000000ULL, 8).U16(38 + 12);
  EntryFields(file, 2, 0, 0x01B0000000000000ULL, 64).Raw(Utf16z(u"Day") + Utf16z(u"") + Utf16z(u""));
  ASSERT_TRUE(testsupport::WriteFileBytes(StoragePath(), file.Str()));
  FeskList list(StoragePath());
  ASSERT_TRUE(list.Load());
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(AsEntry(list.FindByUID(8))->Name(), u"Day");
}

}  // namespace
}  // namespace entriestest
