#pragma once
// Entries and storage files for the reminder utility's tests.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/entries/EntryCalendar.h"
#include "common/entries/FeskItem.h"
#include "platform/clock/Clock.h"
#include "tests/engine/ItemBuilders.h"

namespace utiltest {

std::unique_ptr<FeskItem> Entry(std::uint16_t kind, const char* name, CalendarDate date);
// Saves the entries to `folder`storage.dat (UIDs 1, 2, ... in order).
bool SaveEntries(const std::string& folder, std::vector<std::unique_ptr<FeskItem>> entries);
// The stored entry with the UID, read back from `folder`storage.dat.
std::unique_ptr<FeskItem> StoredEntry(const std::string& folder, std::int32_t uid);
using enginetest::At;
// The engine's argument text for a moment and UIDs.
std::string Armed(platform::FileTime at, const std::string& uids);

}  // namespace utiltest
