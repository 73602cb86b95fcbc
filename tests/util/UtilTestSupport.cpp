#include "tests/util/UtilTestSupport.h"

#include "NataloUtil/ReminderSession.h"
#include "common/entries/EntryKind.h"
#include "common/entries/FeskList.h"
#include "platform/text/Utf.h"

namespace utiltest {

std::unique_ptr<FeskItem> Entry(std::uint16_t kind, const char* name, CalendarDate date) {
  auto entry = std::make_unique<FeskItem>(kind);
  const std::string text = name;
  if (kind == Birthday) {
    const auto space = text.find(' ');
    entry->SetFirstName(platform::FromUtf8(text.substr(0, space)));
    if (space != std::string::npos) entry->SetLastName(platform::FromUtf8(text.substr(space + 1)));
  } else {
    entry->SetName(platform::FromUtf8(text));
  }
  MidnightOf(date, entry->m_ftDate);
  entry->m_dwIcon = DefaultIconOfKind(kind);
  return entry;
}

bool SaveEntries(const std::string& folder, std::vector<std::unique_ptr<FeskItem>> entries) {
  FeskList list(folder + "storage.dat");
  for (auto& entry : entries) list.Add(std::move(entry));
  return list.SaveStorageLocked();
}

std::unique_ptr<FeskItem> StoredEntry(const std::string& folder, std::int32_t uid) {
  FeskList list(folder + "storage.dat");
  if (!list.Load()) return nullptr;
  const FeskItem* entry = AsEntry(list.FindByUID(uid));
  return entry ? CopyEntry(*entry) : nullptr;
}

std::string Armed(platform::FileTime at, const std::string& uids) {
  return "/T=\"" + std::to_string(at) + "\" /ID=\"" + uids + "\"";
}

}  // namespace utiltest
