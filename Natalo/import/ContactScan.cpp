// The contact scan over the contact store.
#include "Natalo/import/ContactScan.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <vector>

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryKind.h"
#include "common/entries/EntryMatchIndex.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/EntrySettings.h"
#include "common/entries/FeskItem.h"
#include "common/entries/FeskList.h"
#include "common/entries/TextFormat.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "platform/contacts/ContactStore.h"
#include "platform/contacts/VariantDate.h"
#include "platform/registry/Registry.h"

namespace {

constexpr std::uint32_t kBirthdayIcon = 40;
constexpr std::uint32_t kAnniversaryIcon = 22;
constexpr std::size_t kMaxAnniversaryName = 1024;
// From this many contacts, what a scan kept is freed on a second thread during the save.
constexpr int kReleaseApartFrom = 1000;

// The store reports a date without a year in the year the entries keep such a date in.
static_assert(platform::CONTACT_YEAR_UNKNOWN == kYearUnknown);

// A contact's date at midnight, one without a year in kYearUnknown; false when it is no date.
bool ContactDateToFileTime(const platform::ContactDate& value, platform::SystemTime& date, platform::FileTime& out) {
  if (!value.IsSet()) return false;
  date = platform::SystemTime{};
  date.wYear = static_cast<std::uint16_t>(value.yearKnown ? value.year : kYearUnknown);
  date.wMonth = static_cast<std::uint16_t>(value.month);
  date.wDay = static_cast<std::uint16_t>(value.day);
  return platform::SystemTimeToFileTime(date, out);
}

// How a listed date compares with a contact's.
enum class DayMatch { Same, EntryLacksYear, Different };

// The same month and day with only one side knowing the year is no difference:
// a contact without the year leaves the entry's year alone, and an entry
// without one learns the contact's.
DayMatch CompareDays(platform::FileTime listed, const platform::SystemTime& contact) {
  platform::SystemTime st;
  if (!platform::FileTimeToSystemTime(listed, st) || st.wMonth != contact.wMonth || st.wDay != contact.wDay) {
    return DayMatch::Different;
  }
  if (st.wYear == contact.wYear || contact.wYear == kYearUnknown) return DayMatch::Same;
  return st.wYear == kYearUnknown ? DayMatch::EntryLacksYear : DayMatch::Different;
}

// The registry values that hold the contact ids whose entry of that kind the
// user deleted: 4 bytes each, least significant first.
std::u16string DeletedPath(std::uint16_t kind) {
  return SettingPath(kind == Birthday ? u"Import\\DeletedBirthdays" : u"Import\\DeletedAnniversaries");
}

constexpr std::size_t kMaxDeletedBytes = std::size_t{4} << 20;

std::unordered_set<std::uint32_t> ReadDeletedContacts(std::uint16_t kind) {
  std::unordered_set<std::uint32_t> ids;
  platform::RegistryType type{};
  std::vector<std::uint8_t> data;
  if (!ReadRegistryValue(DeletedPath(kind), type, data, kMaxDeletedBytes) || type != platform::RegistryType::Binary) {
    return ids;
  }
  for (std::size_t i = 0; i + 4 <= data.size(); i += 4) {
    ids.insert(static_cast<std::uint32_t>(data[i]) | static_cast<std::uint32_t>(data[i + 1]) << 8 |
               static_cast<std::uint32_t>(data[i + 2]) << 16 | static_cast<std::uint32_t>(data[i + 3]) << 24);
  }
  return ids;
}

// An entry a contact would give, made before it is compared with the list.
struct Candidate {
  std::unique_ptr<FeskItem> entry;  // nullptr: that kind is not imported, or the contact has no such date
  platform::SystemTime date{};      // the contact's date
};

struct ContactEntries {
  Candidate birthday;
  Candidate anniversary;
};

// Makes the entries of a contact. It reads no setting and no text while it
// works (they are taken when it is made), so it may run on another thread
// than the comparison.
class EntryMaker {
 public:
  EntryMaker(const FeskList& list, const ContactScanSettings& settings)
      : m_list(list),
        m_birthdays(settings.ImportBirthdays != 0),
        m_anniversaries(settings.ImportAnniversaries != 0),
        m_anniversaryName(GetLocalTable().Get(u"DLG_FORMAT_ANNIVERSARYNAME")),
        m_view(CurrentViewSettings()) {}

  void Make(const platform::ContactItem& contact, ContactEntries& out) const {
    std::u16string first, last;
    contact.GetFirstName(first);
    contact.GetLastName(last);
    first = TrimSpaces(first);
    last = TrimSpaces(last);
    if (m_birthdays) Make(Birthday, contact.GetBirthdayDate(), first, last, contact.GetOid(), out.birthday);
    if (m_anniversaries) Make(Anniversary, contact.GetAnniversaryDate(), first, last, contact.GetOid(), out.anniversary);
  }

 private:
  void Make(std::uint16_t kind, const platform::ContactDate& value, const std::u16string& first,
            const std::u16string& last, std::uint32_t oid, Candidate& out) const {
    platform::FileTime when = 0;
    if (!ContactDateToFileTime(value, out.date, when)) return;
    std::unique_ptr<FeskItem> entry(AsEntry(m_list.CreateItem().release()));
    entry->Texts().Assign({u"", first, last});
    entry->m_ftDate = when;
    if (kind == Anniversary) {
      entry->m_wKind = Birthday;
      std::u16string name = FormatText(m_anniversaryName, {entry->GetDisplayName(m_view)});
      if (name.size() > kMaxAnniversaryName) name.resize(kMaxAnniversaryName);
      entry->SetName(std::move(name));
      entry->m_wKind = Anniversary;
    }
    // The id tells two contacts of the same name apart, in this scan and the next.
    entry->m_dwContactOid = oid;
    out.entry = std::move(entry);
  }

  const FeskList& m_list;
  const bool m_birthdays;
  const bool m_anniversaries;
  const std::u16string m_anniversaryName;
  const EntryViewSettings m_view;
};

// The contacts' entries, made in folder order on a second thread while the
// comparison takes them one by one. Each contact is made by whichever thread
// claims it first: the comparison makes the ones the other thread has not
// reached (it is never held up by a thread that gets no processor), and waits
// only for one that thread is making at that moment.
class EntriesAhead {
 public:
  EntriesAhead(const platform::ContactFolder& folder, int count, const EntryMaker& maker)
      : m_folder(folder),
        m_maker(maker),
        m_made(static_cast<std::size_t>(std::max(count, 0))),
        m_state(new std::atomic<int>[m_made.size()]()) {
    if (count < kAheadFrom || std::thread::hardware_concurrency() < 2) return;
    try {
      m_thread = std::thread([this] { MakeAll(); });
    } catch (const std::system_error&) {
      // Each contact's entries are made when taken.
    }
  }
  ~EntriesAhead() { Stop(); }
  EntriesAhead(const EntriesAhead&) = delete;
  EntriesAhead& operator=(const EntriesAhead&) = delete;

  // The entries of `contact`, the folder's item at `index` (from 1).
  ContactEntries Take(int index, const platform::ContactItem& contact) {
    ContactEntries entries;
    std::atomic<int>& state = m_state[static_cast<std::size_t>(index - 1)];
    int seen = kFree;
    if (!m_thread.joinable() || state.compare_exchange_strong(seen, kMaking, std::memory_order_acquire)) {
      m_maker.Make(contact, entries);
      return entries;
    }
    while (seen != kMade) {
      state.wait(seen, std::memory_order_acquire);
      seen = state.load(std::memory_order_acquire);
    }
    return std::move(m_made[static_cast<std::size_t>(index - 1)]);
  }

  // Ends the thread; entries made and not taken are dropped.
  void Stop() {
    m_stop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable()) m_thread.join();
  }

 private:
  // From this many contacts the entries are made ahead.
  static constexpr int kAheadFrom = 1000;
  static constexpr int kFree = 0;
  static constexpr int kMaking = 1;
  static constexpr int kMade = 2;

  void MakeAll() {
    for (std::size_t i = 0; i < m_made.size() && !m_stop.load(std::memory_order_relaxed); ++i) {
      int seen = kFree;
      // Taken already: the comparison made it itself.
      if (!m_state[i].compare_exchange_strong(seen, kMaking, std::memory_order_acquire)) continue;
      platform::ContactItem contact;
      if (m_folder.GetItem(static_cast<int>(i + 1), contact)) m_maker.Make(contact, m_made[i]);
      m_state[i].store(kMade, std::memory_order_release);
      // Costs nothing while the comparison is not waiting.
      m_state[i].notify_one();
    }
  }

  const platform::ContactFolder& m_folder;
  const EntryMaker& m_maker;
  std::vector<ContactEntries> m_made;
  // Per contact: free, being made by the second thread, or made by it.
  std::unique_ptr<std::atomic<int>[]> m_state;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

struct ContactPart {
  std::uint16_t kind;
  std::uint32_t& rule;
  Candidate& candidate;
};

class Scan {
 public:
  Scan(FeskList& list, ContactScanSettings& settings, const ContactScanHooks& hooks, ContactScanReport& report)
      : m_list(list),
        m_index(list),
        m_deletedBirthdays(ReadDeletedContacts(Birthday)),
        m_deletedAnniversaries(ReadDeletedContacts(Anniversary)),
        m_settings(settings),
        m_hooks(hooks),
        m_report(report) {}

  void Contact(platform::ContactItem& contact, ContactEntries& entries) {
    bool writeContact = false;
    const ContactPart birthday{Birthday, m_settings.BirthdayConflictRule, entries.birthday};
    const ContactPart anniversary{Anniversary, m_settings.AnniversaryConflictRule, entries.anniversary};
    for (const ContactPart& part : {birthday, anniversary}) {
      if (part.candidate.entry) writeContact |= Part(part, contact);
    }
    if (writeContact) {
      if (contact.Save()) {
        ++m_report.contactsUpdated;
        for (FeskItem* match : m_linkWhenSaved) Link(*match, contact.GetOid());
      } else {
        ++m_report.contactWritesFailed;
      }
    }
    m_linkWhenSaved.clear();
  }

  bool Stopped() const { return m_report.stoppedByUser; }
  // Room in the index for the entries of that many contacts.
  void Expect(int contacts) { m_index.Reserve(static_cast<std::size_t>(std::max(contacts, 0))); }

 private:
  // True when the contact took the entry's date and must be saved.
  bool Part(const ContactPart& part, platform::ContactItem& contact) {
    std::unique_ptr<FeskItem> entry = std::move(part.candidate.entry);
    const platform::SystemTime& date = part.candidate.date;
    const platform::FileTime when = entry->m_ftDate;
    const std::uint32_t oid = entry->m_dwContactOid;

    // FindMatchingEntry's answer, from an index instead of a walk of the list per contact.
    std::u16string nameKey;
    const FeskItem* found = m_index.Find(*entry, part.kind, &nameKey);
    const bool byContact = found != nullptr && oid != 0 && found->m_dwContactOid == oid;
    if (!byContact && (part.kind == Birthday ? m_deletedBirthdays : m_deletedAnniversaries).contains(oid)) {
      // The user deleted this contact's entry: neither a new one nor one typed by hand takes its place.
      ++m_report.deletedBefore;
      return false;
    }
    if (found == nullptr) {
      entry->m_dwIcon = part.kind == Birthday ? kBirthdayIcon : kAnniversaryIcon;
      ApplyDefaultReminder(*entry);
      m_index.Appended(*AsEntry(m_list.Add(std::move(entry))), std::move(nameKey));
      ++(part.kind == Birthday ? m_report.birthdaysAdded : m_report.anniversariesAdded);
      return false;
    }
    // The list owns its entries; the match is changed in place.
    FeskItem& match = const_cast<FeskItem&>(*found);
    // An entry typed by hand and matched by its names becomes this contact's
    // once both sides agree on the date (for the card: once it is saved); a
    // difference left open leaves it free.
    const DayMatch same = CompareDays(match.m_ftDate, date);
    if (same != DayMatch::Different) {
      if (same == DayMatch::EntryLacksYear) {
        match.m_ftDate = when;
        ++m_report.entriesUpdated;
      } else {
        ++m_report.alreadyListed;
      }
      if (!byContact) Link(match, oid);
      return false;
    }
    std::uint32_t rule = part.rule;
    if (rule == ConflictAsk) {
      ConflictChoice choice;
      if (!m_hooks.ask) {
        rule = ConflictLeaveBoth;
      } else if (m_hooks.ask(match, date, choice) != 1) {
        m_report.stoppedByUser = true;
        rule = ConflictLeaveBoth;
      } else {
        rule = choice.rule;
        if (!choice.askAgain) part.rule = rule;
      }
    }
    const bool write = ApplyRule(rule, match, when, contact);
    if (!byContact && rule == ConflictEntryTakesContactDate) Link(match, oid);
    if (!byContact && write) m_linkWhenSaved.push_back(&match);
    return write;
  }

  void Link(FeskItem& match, std::uint32_t oid) {
    if (oid == 0 || match.m_dwContactOid != 0) return;
    match.m_dwContactOid = oid;
    m_index.Linked(match);
  }

  bool ApplyRule(std::uint32_t rule, FeskItem& match, platform::FileTime contactDate, platform::ContactItem& contact) {
    if (rule == ConflictEntryTakesContactDate) {
      match.m_ftDate = contactDate;
      ApplyDefaultReminder(match);
      ++m_report.entriesUpdated;
      return false;
    }
    if (rule == ConflictContactTakesEntryDate) {
      platform::SystemTime st;
      double value = 0;
      const bool converted =
          platform::FileTimeToSystemTime(match.m_ftDate, st) && platform::SystemTimeToVariantTime(st, value);
      const bool set = converted && (match.m_wKind == Birthday ? contact.SetBirthday(value)
                                                               : contact.SetAnniversary(value));
      if (!set) ++m_report.contactWritesFailed;
      return set;
    }
    ++m_report.conflictsLeft;
    return false;
  }

  FeskList& m_list;
  // Kept up to date as entries are appended or linked; the scan changes no listed entry's kind or names.
  EntryMatchIndex m_index;
  const std::unordered_set<std::uint32_t> m_deletedBirthdays;
  const std::unordered_set<std::uint32_t> m_deletedAnniversaries;
  // Typed entries whose date the current contact takes: linked once its card is saved.
  std::vector<FeskItem*> m_linkWhenSaved;
  ContactScanSettings& m_settings;
  const ContactScanHooks& m_hooks;
  ContactScanReport& m_report;
};

}  // namespace

ContactScanSettings& ScanSettings() {
  static ContactScanSettings settings;
  return settings;
}

int ScanContacts(FeskList& list, platform::ContactStore& store, ContactScanSettings& settings,
                 const ContactScanHooks& hooks, ContactScanReport* report) {
  ContactScanReport local;
  ContactScanReport& out = report != nullptr ? *report : local;
  out = ContactScanReport{};
  const auto reading = [&hooks](std::size_t done, std::size_t total) {
    if (hooks.progress) hooks.progress(ScanPhase::ReadingFolder, static_cast<int>(done), static_cast<int>(total));
  };
  if (!store.Logon(reading)) return 0;
  platform::ContactFolder folder;
  if (!store.GetDefaultFolder(platform::FOLDER_CONTACTS, folder)) {
    store.Logoff();
    return 0;
  }
  const int count = folder.GetCount();
  out.contactsInFolder = count;
  auto scan = std::make_unique<Scan>(list, settings, hooks, out);
  scan->Expect(count);
  const EntryMaker maker(list, settings);
  {
    EntriesAhead ahead(folder, count, maker);
    for (int index = 1; index <= count && !scan->Stopped(); ++index) {
      if (hooks.progress) hooks.progress(ScanPhase::Comparing, index - 1, count);
      platform::ContactItem contact;
      if (!folder.GetItem(index, contact)) continue;
      ++out.contactsRead;
      ContactEntries entries = ahead.Take(index, contact);
      scan->Contact(contact, entries);
    }
  }
  if (hooks.progress) hooks.progress(ScanPhase::Comparing, count, count);
  store.Logoff();

  // The folder's records (the folder holds the last reference to them) and
  // the scan's index of the list are freed on a thread of their own while the
  // list is saved; the index only points into the list and the records are no
  // longer needed.
  std::thread release;
  if (count >= kReleaseApartFrom) {
    try {
      release = std::thread([done = std::move(scan), records = std::move(folder)]() mutable {
        done.reset();
        records = platform::ContactFolder{};
      });
    } catch (const std::system_error&) {
      // Without a thread they are freed here after the save.
    }
  }
  out.saved = hooks.save ? hooks.save(list) : SaveStorageLocked(list);
  if (release.joinable()) release.join();
  if (out.saved && hooks.recalculate) hooks.recalculate();
  return 1;
}

void RememberDeletedContactEntry(const FeskItem& entry) {
  if (entry.m_dwContactOid == 0 || entry.IsStar() || (entry.m_wKind != Birthday && entry.m_wKind != Anniversary)) {
    return;
  }
  RegistryPath path;
  if (!ParseRegistryPath(DeletedPath(entry.m_wKind), path)) return;
  const std::optional<platform::RegistryRoot> root = platform::ParseRegistryRoot(path.root);
  if (!root) return;
  const std::uint32_t id = entry.m_dwContactOid;
  // Read and appended in one step, so that two programs deleting at once both stay remembered.
  platform::RegUpdateValue(*root, path.key, path.name, [id](platform::RegistryValue& value, bool) {
    if (value.type != platform::RegistryType::Binary) value = platform::RegistryValue{};
    value.data.resize(value.data.size() / 4 * 4);
    std::vector<std::uint8_t> bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(id >> shift));
    for (std::size_t i = 0; i < value.data.size(); i += 4) {
      if (std::equal(bytes.begin(), bytes.end(), value.data.begin() + static_cast<std::ptrdiff_t>(i))) return false;
    }
    if (value.data.size() + 4 > kMaxDeletedBytes) return false;
    value.data.insert(value.data.end(), bytes.begin(), bytes.end());
    return true;
  });
}
