// The matching rule shared by the editors and the contact import, the deep
// copy the editors work on, and the reminder choice read back from a moment.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/entries/EntryMatchIndex.h"
#include "common/entries/EntryMatching.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskList.h"
#include "common/entries/ReminderChoice.h"
#include "tests/engine/ItemBuilders.h"

using enginetest::At;

namespace {

FeskItem* Add(FeskList& list, std::uint16_t kind, std::u16string first, std::u16string last = {},
              std::uint32_t oid = 0) {
  auto entry = std::make_unique<FeskItem>(kind);
  if (kind == Birthday) {
    entry->SetFirstName(std::move(first));
    entry->SetLastName(std::move(last));
  } else {
    entry->SetName(std::move(first));
  }
  entry->m_dwContactOid = oid;
  return AsEntry(list.Add(std::move(entry)));
}

}  // namespace

TEST(FindMatchingEntry, FirstMatchOfTheKindByTheRule) {
  FeskList list("unused");
  Add(list, OtherDate, u"Ann", u"Lee");
  FeskItem* hand = Add(list, Anniversary, u"Wedding", {}, 0);
  FeskItem* ann = Add(list, Birthday, u"Ann", u"Lee");
  Add(list, Birthday, u"ANN", u"lee");
  FeskItem* jo = Add(list, Birthday, u"Jörg", u"ÅSEN");
  FeskItem* thor = Add(list, Birthday, u"Þóra", u"Þorsteinsdóttir");
  FeskItem* linked = Add(list, Anniversary, u"Wedding of Ann", {}, 77);
  Add(list, Birthday, u"Bo", u"Diddley")->m_bStar = 1;
  FeskItem* dee = Add(list, Birthday, u"Dee", u"Fox", 6);
  FeskItem* annOf9 = Add(list, Birthday, u"Ann", u"Lee", 9);

  struct Case {
    const char* what;
    std::uint16_t kind;
    std::u16string first, last;
    std::uint32_t oid;
    const FeskItem* expected;
  };
  const Case cases[] = {
      {"names ignoring case, first in list order", Birthday, u"ann", u"LEE", 0, ann},
      {"non-ASCII letters ignoring case", Birthday, u"JÖRG", u"åsen", 0, jo},
      {"Þ and þ, the last pair of Latin-1", Birthday, u"þóra", u"þorsteinsdóttir", 0, thor},
      {"a star never matches", Birthday, u"bo", u"diddley", 0, nullptr},
      {"a contact's id before names listed earlier", Birthday, u"Ann", u"Lee", 9, annOf9},
      {"a contact's id under other names", Birthday, u"Ann", u"Smith", 9, annOf9},
      {"a contact without an entry: names of a typed one", Birthday, u"ann", u"lee", 8, ann},
      {"a contact without an entry: another contact's is another person", Birthday, u"Dee", u"Fox", 8, nullptr},
      {"no id: names of any entry", Birthday, u"DEE", u"fox", 0, dee},
      {"a birthday's id is no anniversary's", Anniversary, u"x", {}, 6, nullptr},
      {"only the last name equal", Birthday, u"Anne", u"Lee", 0, nullptr},
      {"an other date never matches", OtherDate, u"Ann", u"Lee", 0, nullptr},
      {"anniversary by contact id", Anniversary, u"whatever", {}, 77, linked},
      {"a hand-typed anniversary (id 0) never matches", Anniversary, u"Wedding", {}, 0, nullptr},
  };
  for (const Case& c : cases) {
    FeskItem candidate(c.kind);
    candidate.SetFirstName(c.first);
    candidate.SetLastName(c.last);
    candidate.SetName(c.first);
    candidate.m_dwContactOid = c.oid;
    std::int32_t uid = -5;
    const FeskItem* match = hand;
    EXPECT_EQ(FindMatchingEntry(list, candidate, c.kind, &uid, &match), c.expected != nullptr) << c.what;
    EXPECT_EQ(match, c.expected) << c.what;
    EXPECT_EQ(uid, c.expected ? c.expected->m_nUID : 0) << c.what;
  }
}

TEST(EntryMatchIndex, FindsWhatTheWalkFinds) {
  struct Spec {
    std::uint16_t kind;
    std::u16string first, last;
    std::uint32_t oid = 0;
    bool star = false;
  };
  const std::vector<std::vector<Spec>> lists = {
      {},
      // The same names three times: the first own entry in list order wins, a star never.
      {{Birthday, u"Ann", u"Lee"}, {Birthday, u"ANN", u"lee"}, {Birthday, u"Ann", u"Lee", 0, true}},
      {{Birthday, u"Bo", u"Diddley", 0, true}, {Birthday, u"bo", u"DIDDLEY"}},
      {{OtherDate, u"Ann", u"Lee"}, {Anniversary, u"Wedding", {}, 0}, {Anniversary, u"Wedding of Ann", {}, 77},
       {Anniversary, u"Again", {}, 77}, {Birthday, u"Ann", u"Lee", 77}},
      // Contacts' birthdays among typed ones and stars of the same names.
      {{Birthday, u"Ann", u"Lee", 9}, {Birthday, u"Ann", u"Lee", 0, true}, {Birthday, u"ann", u"lee"},
       {Birthday, u"Bo", u"Roe", 9}, {Birthday, u"ANN", u"LEE", 5}, {Birthday, u"Ann", u"Lee"}},
      // Spaces are part of a name; a name pair split elsewhere is another pair.
      {{Birthday, u"Jörg", u"ÅSEN"}, {Birthday, u" Ann", u"Lee "}, {Birthday, u"An", u"nLee"}, {Birthday, {}, {}}},
  };
  const Spec candidates[] = {
      {Birthday, u"Ann", u"Lee"},     {Birthday, u"ann", u"LEE"},   {Birthday, u" ann", u"LEE "},
      {Birthday, u"AnnL", u"ee"},     {Birthday, u"An", u"NLEE"},   {Birthday, u"jörg", u"åsen"},
      {Birthday, u"BO", u"diddley"},  {Birthday, {}, {}},           {Anniversary, u"x", {}, 77},
      {Anniversary, u"Wedding", {}, 0}, {Anniversary, u"x", {}, 5}, {OtherDate, u"Ann", u"Lee"},
      {Birthday, u"ann", u"lee", 9},  {Birthday, u"ann", u"lee", 5}, {Birthday, u"ann", u"lee", 8},
      {Birthday, u"bo", u"roe", 8},   {Birthday, u"x", u"y", 77},   {Birthday, u"Bo", u"Diddley", 3},
  };
  for (std::size_t n = 0; n < lists.size(); ++n) {
    FeskList list("unused");
    const std::size_t half = lists[n].size() / 2;
    std::unique_ptr<EntryMatchIndex> early;
    for (std::size_t i = 0; i < lists[n].size(); ++i) {
      // Half the entries are in the list when the index is made, the rest are appended.
      if (i == half) {
        early = std::make_unique<EntryMatchIndex>(list);
        early->Reserve(lists[n].size() - half);
      }
      const Spec& s = lists[n][i];
      FeskItem* entry = Add(list, s.kind, s.first, s.last, s.oid);
      entry->SetFirstName(s.first);
      entry->m_bStar = s.star ? 1 : 0;
      if (early) {
        // Appended with the name key Find built for the entry, as the contact scan does.
        std::u16string key;
        early->Find(*entry, entry->m_wKind, &key);
        early->Appended(*entry, std::move(key));
      }
    }
    if (!early) early = std::make_unique<EntryMatchIndex>(list);
    EntryMatchIndex whole(list);
    const auto compare = [&](const char* when) {
      for (const Spec& c : candidates) {
        FeskItem candidate(c.kind);
        candidate.SetFirstName(c.first);
        candidate.SetLastName(c.last);
        candidate.m_dwContactOid = c.oid;
        const FeskItem* walked = nullptr;
        FindMatchingEntry(list, candidate, c.kind, nullptr, &walked);
        const std::string what = std::string(when) + ", list " + std::to_string(n) + ", kind " +
                                 std::to_string(c.kind) + ", oid " + std::to_string(c.oid) + ", name of " +
                                 std::to_string(c.first.size()) + "+" + std::to_string(c.last.size());
        EXPECT_EQ(whole.Find(candidate, c.kind), walked) << what;
        EXPECT_EQ(early->Find(candidate, c.kind), walked) << what;
      }
    };
    compare("as made");
    // The first own birthday typed by hand becomes contact 8's, as a scan links it.
    for (StorageItem& item : list) {
      FeskItem* entry = AsEntry(&item);
      if (entry->m_wKind != Birthday || entry->IsStar() || entry->m_dwContactOid != 0) continue;
      entry->m_dwContactOid = 8;
      whole.Linked(*entry);
      early->Linked(*entry);
      break;
    }
    compare("after a link");
  }
}

TEST(CopyEntry, CopiesEveryFieldButKeepsTheList) {
  FeskList list("unused");
  FeskItem* from = Add(list, Anniversary, u"Wedding", {}, 9);
  from->SetNote(u"note");
  from->SetSoundFile(u"/a.oga");
  from->m_dwIcon = 12;
  from->m_bOwnReminder = 1;
  from->m_bEnabled = 0;
  from->m_ftStart = At(2001, 3, 13, 18, 30);
  FeskItem to(Birthday);
  CopyEntry(*from, to);
  EXPECT_EQ(to.m_wKind, Anniversary);
  EXPECT_EQ(to.m_nUID, from->m_nUID);
  EXPECT_EQ(to.Name(), u"Wedding");
  EXPECT_EQ(to.Note(), u"note");
  EXPECT_EQ(to.SoundFile(), u"/a.oga");
  EXPECT_EQ(to.m_dwContactOid, 9u);
  EXPECT_EQ(to.m_dwIcon, 12u);
  EXPECT_EQ(to.m_bOwnReminder, 1u);
  EXPECT_EQ(to.m_bEnabled, 0u);
  EXPECT_EQ(to.m_ftStart, from->m_ftStart);
}

TEST(ReminderDays, ReadsBackTheChoiceApplyReminderPlaced) {
  struct Case {
    int month, day;
    std::uint32_t choice;
  };
  // Every choice on an ordinary date, on 29 February, on a date in January whose
  // month before is December, and early January where the days reach back into December.
  const Case cases[] = {{3, 20, 0}, {3, 20, 1}, {3, 20, 7}, {3, 20, 8}, {3, 20, 9}, {2, 29, 8}, {2, 29, 9},
                        {1, 15, 9}, {1, 15, 8}, {1, 3, 7},  {1, 3, 8},  {12, 31, 9}, {3, 31, 9}};
  for (const Case& c : cases) {
    FeskItem entry(Birthday);
    entry.m_ftDate = At(1980, c.month, c.day);
    ApplyReminder(entry, c.choice, 0x1200);
    const std::uint32_t back = ReminderChoiceForDays(ReminderDays(entry.m_ftDate, entry.m_ftStart));
    // A month before 31 March is 28 February: 31 days, still the month choice.
    EXPECT_EQ(back, c.choice) << c.month << "/" << c.day << " choice " << c.choice;
  }
}

TEST(ReminderDays, DayCountsToChoices) {
  const std::pair<std::int64_t, std::uint32_t> cases[] = {{0, 0}, {7, 7}, {8, 9}, {14, 8}, {31, 9}, {-1, 9}, {372, 9}};
  for (const auto& [days, choice] : cases) EXPECT_EQ(ReminderChoiceForDays(days), choice) << days;
}
