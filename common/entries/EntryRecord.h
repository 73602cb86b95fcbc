#pragma once
// One entry as a command that only reads the list needs it: the fields of its
// record, and its texts as views of text kept elsewhere (the bytes of the file
// being read, or an entry's own strings). Reading a large list this way makes
// no item and copies no string for each record.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/entries/EntryKind.h"
#include "common/store/ScheduleFields.h"
#include "platform/clock/Clock.h"

class FeskItem;

struct EntryRecord {
  ScheduleFields schedule{};  // the base record, with the UID the list hands out
  std::uint16_t kind = Birthday;
  std::uint32_t contactOid = 0;
  platform::FileTime date = 0;  // only year, month and day count
  std::uint32_t icon = 0;
  std::uint32_t ownSound = 0;
  std::uint32_t soundType = 0;
  std::uint32_t soundSource = 0;
  std::uint32_t volume = 0;
  std::uint32_t ownReminder = 0;
  std::u16string_view name;  // anniversaries and other dates
  std::u16string_view firstName;  // birthdays
  std::u16string_view lastName;   // birthdays
  std::u16string_view note;
  std::u16string_view soundFile;
  bool star = false;
};

// The entry's fields, with views of its texts as UTF-16, which are copied into
// `texts` for them: the views last until `texts` changes.
EntryRecord EntryRecordOf(const FeskItem& entry, std::u16string& texts);
// An entry that holds what the record holds, with copies of its texts.
std::unique_ptr<FeskItem> EntryOfRecord(const EntryRecord& record);

// Copies of records' texts that could not be viewed where they lay: the
// views of a record kept here last as long as this does.
class KeptTexts {
 public:
  // Points the record's views at copies of their texts kept here.
  void Keep(EntryRecord& record);

 private:
  std::vector<std::unique_ptr<char16_t[]>> m_texts;
};
