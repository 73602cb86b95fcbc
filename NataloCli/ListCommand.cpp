// natalo list [--days N] [--kind birthday|anniversary|other] [--stars] [--json]
#include <sys/stat.h>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EntryFacts.h"
#include "NataloCli/JsonText.h"
#include "common/entries/EntryTexts.h"
#include "platform/memory/HugePageHeap.h"
#include "platform/text/RoomWriter.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <unordered_map>

namespace {

// A current record of an entry with empty texts: the base record, the block's
// length, its fixed fields and four empty strings.
constexpr std::size_t kSmallestRecordBytes = 33 + 2 + 38 + 4 * 2;

}  // namespace

void AppendFactsAsJson(std::string& out, const EntryFacts& facts) {
  const auto field = [&out](const char* name, std::string_view text) {
    out += name;
    out += JsonString(text);
  };
  out += "{\"uid\":" + std::to_string(facts.uid);
  field(",\"kind\":", facts.kind);
  field(",\"name\":", facts.name);
  field(",\"date\":", EntryDateText(facts.date));
  field(",\"next\":", IsoDate(facts.next));
  out += ",\"daysLeft\":" + std::to_string(facts.daysLeft);
  // Years are counted only from a date with a year.
  const bool yearless = IsYearUnknown(facts.date);
  out += ",\"years\":" + (yearless ? std::string("null") : std::to_string(facts.next.year - facts.date.year));
  field(",\"dateText\":", facts.dateText);
  field(",\"ageText\":", facts.ageText);
  field(",\"daysText\":", facts.daysText);
  field(",\"reminder\":", facts.reminder);
  field(",\"note\":", facts.note);
  out += '}';
}

std::string ListAsJson(const std::vector<EntryFacts>& coming) {
  std::string out = "[";
  out.reserve(coming.size() * 320);
  for (std::size_t i = 0; i < coming.size(); ++i) {
    if (i > 0) out += ",\n ";
    AppendFactsAsJson(out, coming[i]);
  }
  return out + "]";
}

void AppendFactsAsLine(std::string& out, const EntryFacts& facts) {
  // Four words for thousands of lines: each is looked up once.
  static std::unordered_map<std::string, std::string> reminderTexts;
  auto it = reminderTexts.find(facts.reminder);
  if (it == reminderTexts.end()) {
    const std::u16string key = platform::AsciiUpper(platform::FromUtf8("CLI_REMINDER_" + facts.reminder));
    it = reminderTexts.emplace(facts.reminder, CliText(key)).first;
  }
  for (const std::string* text : {&facts.dateText, &facts.name, &facts.ageText, &facts.daysText}) {
    out += *text;
    out += '\t';
  }
  out += it->second;
  out += '\n';
}

namespace {

// The entries due within the days asked for, kept as small rows beside one
// buffer of their names and notes, and written as lines or as a JSON array.
// The texts of a row that come from its date, its day count or its reminder
// state are made once for each distinct value (a year has at most 367 day
// counts) and copied into the output from then on.
class ComingList {
 public:
  ComingList(const CalendarDate& today, bool json)
      : m_today(today), m_todayNumber(DayNumber(today)), m_json(json) {
    m_context.view = CurrentViewSettings();
    m_context.today = today;
    // The command line always says how many days are left, whatever the list shows.
    m_context.view.dwDaysLeft = 1;
  }

  void Reserve(std::size_t rows, std::size_t textBytes) {
    m_rows.reserve(rows);
    m_texts.reserve(textBytes);
  }

  // Keeps the entry when it is due within `days` days of today.
  void Consider(const EntryRecord& entry, long days) {
    // What depends on the stored day alone is worked out once for each.
    const platform::FileTime storedDay = std::min(entry.date, platform::TIME_NONE) / platform::FILETIME_PER_DAY;
    const auto [it, added] = m_storedDays.try_emplace(storedDay);
    StoredDay& stored = it->second;
    if (added) {
      stored.date = DateOfFileTime(entry.date);
      stored.next = NextOccurrence(stored.date, m_today);
      stored.daysLeft = DayNumber(stored.next) - m_todayNumber;
    }
    if (stored.daysLeft > days) return;
    if (stored.dateTexts == kNoTexts) stored.dateTexts = MakeDateTexts(entry, stored.date);
    Row row;
    row.uid = entry.schedule.m_nUID;
    row.kind = KindWord(entry.star, entry.kind);
    row.daysLeft = static_cast<std::uint16_t>(stored.daysLeft);
    row.reminder = ReminderIndex(entry);
    row.dateTexts = stored.dateTexts;
    row.name = static_cast<std::uint32_t>(m_texts.size());
    m_name.clear();
    AppendDisplayName(entry, m_context.view.dwDisplayNames, m_name);
    platform::AppendUtf8(m_texts, m_name);
    row.nameSize = static_cast<std::uint32_t>(m_texts.size() - row.name);
    if (m_json && !entry.note.empty()) {
      row.note = static_cast<std::uint32_t>(m_texts.size());
      platform::AppendUtf8(m_texts, entry.note);
      row.noteSize = static_cast<std::uint32_t>(m_texts.size() - row.note);
    }
    if (m_days.size() <= row.daysLeft) m_days.resize(row.daysLeft + 1);
    m_days[row.daysLeft].next = stored.next;
    m_rows.push_back(row);
  }

  bool Empty() const { return m_rows.empty(); }

  // Writes the rows in the order of their days left, then of their names;
  // equal ones keep the order they were read in. False (with a message
  // written) when standard output takes no more.
  bool Write() {
    // Counted into the days left first, which keeps the reading order within
    // each day; then each day's rows are ordered by name.
    std::vector<std::uint32_t> starts(m_days.size() + 1, 0);
    for (const Row& row : m_rows) ++starts[row.daysLeft + 1];
    for (std::size_t day = 1; day < starts.size(); ++day) starts[day] += starts[day - 1];
    std::vector<std::uint32_t> order(m_rows.size());
    std::vector<std::uint32_t> at(starts.begin(), starts.end() - 1);
    for (std::uint32_t i = 0; i < m_rows.size(); ++i) order[at[m_rows[i].daysLeft]++] = i;
    for (std::size_t day = 0; day + 1 < starts.size(); ++day) {
      if (starts[day + 1] > starts[day]) DayTextsOf(static_cast<std::uint16_t>(day));
    }
    for (std::uint8_t reminder = 0; reminder < 4; ++reminder) ReminderLine(reminder);
    // A second thread sorts the days one after the other, and each is
    // written as soon as it is sorted. While the day to write next is not
    // sorted yet, this thread sorts the next day that no thread took.
    const std::size_t dayCount = starts.size() - 1;
    std::atomic<std::size_t> taken{0};
    std::vector<std::atomic<bool>> sorted(dayCount);
    std::atomic<bool> stop{false};
    const auto sortNext = [&](NameSorter& names) {
      const std::size_t day = taken.fetch_add(1, std::memory_order_relaxed);
      if (day >= dayCount) return false;
      SortDay(names, order, starts[day], starts[day + 1]);
      sorted[day].store(true, std::memory_order_release);
      sorted[day].notify_one();
      return true;
    };
    std::thread sorter([&] {
      NameSorter names;
      while (!stop.load(std::memory_order_relaxed) && sortNext(names)) {
      }
    });
    NameSorter names;
    std::string out;
    out.reserve(kChunkBytes + kChunkBytes / 4);
    if (m_json) out += '[';
    bool written = true;
    for (std::size_t day = 0; day < dayCount && written; ++day) {
      while (!sorted[day].load(std::memory_order_acquire)) {
        if (!sortNext(names)) sorted[day].wait(false, std::memory_order_acquire);
      }
      written = AppendRows(order, starts[day], starts[day + 1], out);
    }
    stop.store(true, std::memory_order_relaxed);
    sorter.join();
    if (!written) return false;
    if (m_json) out += "]\n";
    return out.empty() || WriteStdout(out);
  }

 private:
  static constexpr std::size_t kChunkBytes = 1 << 18;
  static constexpr std::size_t kAhead = 8;

  struct Row {
    std::int32_t uid = 0;
    std::uint16_t daysLeft = 0;
    std::uint8_t reminder = 0;
    const char* kind = "";
    std::uint32_t dateTexts = 0;  // in m_dates
    std::uint32_t name = 0;       // UTF-8 in m_texts
    std::uint32_t nameSize = 0;
    std::uint32_t note = 0;       // UTF-8 in m_texts, for JSON only
    std::uint32_t noteSize = 0;
  };

  // The texts of one stored date, side by side in m_dateBytes from `at`, so
  // that a row's come in one piece of memory: for a line "date text\t", then
  // "\tage text\t"; for JSON ",\"date\":\"1990-12-08\"", then
  // ",\"dateText\":...,\"ageText\":...".
  struct DateTexts {
    int year = 0;
    bool yearless = false;
    std::uint32_t at = 0;
    std::uint32_t first = 0;   // bytes of the first text
    std::uint32_t second = 0;  // bytes of the second
  };

  // What the rows of one stored day share.
  static constexpr std::uint32_t kNoTexts = ~std::uint32_t{0};
  struct StoredDay {
    CalendarDate date;
    CalendarDate next;
    std::int64_t daysLeft = 0;
    std::uint32_t dateTexts = kNoTexts;  // in m_dates, made for the first row shown
  };

  // The texts of one count of days left.
  struct DayTexts {
    bool made = false;
    CalendarDate next;  // today and the days left
    std::string line;        // "in 3 days\t"
    std::string jsonNext;    // ",\"next\":\"2026-12-11\",\"daysLeft\":3"
    std::string jsonDays;    // ",\"daysText\":\"in 3 days\""
  };

  static constexpr const char* kReminderWords[] = {"on", "off", "skipped", "snoozed"};

  static std::uint8_t ReminderIndex(const EntryRecord& entry) {
    if (!entry.schedule.m_bEnabled) return 1;
    if (entry.schedule.m_wSkipNext) return 2;
    if (entry.schedule.m_dwSnoozeCounter != 0) return 3;
    return 0;
  }

  std::uint32_t MakeDateTexts(const EntryRecord& record, const CalendarDate& date) {
    // Every text here depends on the stored date alone (and on the settings
    // and today, which stay).
    FeskItem entry(record.kind, record.date);
    entry.m_ftDate = record.date;
    DateTexts texts;
    texts.year = date.year;
    texts.yearless = IsYearUnknown(date);
    const std::string dateText = platform::ToUtf8(FormatEntryDate(entry, m_context));
    // A date without a year has no age to tell.
    const std::u16string age = entry.HasYear() ? FormatAge(entry, m_context) : std::u16string();
    const std::string ageText = age.empty() ? std::string() : CliText(u"LONG_AGE_STRING", {age});
    std::string& bytes = m_dateBytes;
    texts.at = static_cast<std::uint32_t>(bytes.size());
    if (m_json) {
      bytes += ",\"date\":";
      AppendJsonString(bytes, EntryDateText(date));
      texts.first = static_cast<std::uint32_t>(bytes.size() - texts.at);
      bytes += ",\"dateText\":";
      AppendJsonString(bytes, dateText);
      bytes += ",\"ageText\":";
      AppendJsonString(bytes, ageText);
    } else {
      bytes += dateText;
      bytes += '\t';
      texts.first = static_cast<std::uint32_t>(bytes.size() - texts.at);
      bytes += '\t';
      bytes += ageText;
      bytes += '\t';
    }
    texts.second = static_cast<std::uint32_t>(bytes.size() - texts.at - texts.first);
    m_dates.push_back(texts);
    return static_cast<std::uint32_t>(m_dates.size() - 1);
  }

  // Made before the rows are written, which only read them.
  const DayTexts& DayTextsOf(std::uint16_t daysLeft) {
    DayTexts& texts = m_days[daysLeft];
    if (texts.made) return texts;
    texts.made = true;
    const CalendarDate& next = texts.next;
    const std::u16string days = platform::FromUtf8(std::to_string(daysLeft));
    const std::string daysText = platform::ToUtf8(FormatCountedText(u"LONG_DAYSLEFT_STRING2", u"", days, {days}));
    texts.line = daysText + '\t';
    texts.jsonNext = ",\"next\":";
    AppendJsonString(texts.jsonNext, IsoDate(next));
    texts.jsonNext += ",\"daysLeft\":" + std::to_string(daysLeft);
    texts.jsonDays = ",\"daysText\":";
    AppendJsonString(texts.jsonDays, daysText);
    return texts;
  }

  // Made before the rows are written, which only read them.
  const std::string& ReminderLine(std::uint8_t reminder) {
    std::string& text = m_reminderLines[reminder];
    if (text.empty()) {
      const std::u16string key = platform::AsciiUpper(platform::FromUtf8(std::string("CLI_REMINDER_") + kReminderWords[reminder]));
      text = CliText(key) + '\n';
    }
    return text;
  }

  std::string_view Name(const Row& row) const { return std::string_view(m_texts).substr(row.name, row.nameSize); }

  // Appends the rows order[first, last) to `out`, writing it to standard output
  // whenever it fills a chunk. False (with a message written) when standard
  // output takes no more.
  bool AppendRows(const std::vector<std::uint32_t>& order, std::size_t first, std::size_t last, std::string& out) const {
    for (std::size_t i = first; i < last; ++i) {
      // The rows are read out of their reading order: what comes a few rows
      // on is fetched into the cache while this one is written.
      if (i + 2 * kAhead < last) __builtin_prefetch(&m_rows[order[i + 2 * kAhead]]);
      if (i + kAhead < last) {
        const Row& ahead = m_rows[order[i + kAhead]];
        __builtin_prefetch(m_texts.data() + ahead.name);
        __builtin_prefetch(&m_dates[ahead.dateTexts]);
      }
      if (i + kAhead / 2 < last) {
        __builtin_prefetch(m_dateBytes.data() + m_dates[m_rows[order[i + kAhead / 2]].dateTexts].at);
      }
      const Row& row = m_rows[order[i]];
      if (m_json) {
        if (i > 0) out += ",\n ";
        AppendJson(out, row);
      } else {
        AppendLine(out, row);
      }
      if (out.size() >= kChunkBytes) {
        if (!WriteStdout(out)) return false;
        out.clear();
      }
    }
    return true;
  }

  // Orders rows by their names, sixteen bytes at a time: by the first sixteen
  // read as two numbers, then each run that shares them by the next sixteen,
  // and so on (names of one family share many). The row's place is the last
  // key, so equal names keep their order.
  class NameSorter {
   public:
    template <typename NameOf>
    void Sort(std::uint32_t* first, std::uint32_t* last, const NameOf& nameOf) {
      const auto count = static_cast<std::uint32_t>(last - first);
      m_names.clear();
      m_spans.resize(count);
      m_keys.resize(count);
      for (std::uint32_t i = 0; i < count; ++i) {
        const std::string_view name = nameOf(first[i]);
        m_spans[i] = {static_cast<std::uint32_t>(m_names.size()), static_cast<std::uint32_t>(name.size())};
        m_names += name;
      }
      for (std::uint32_t i = 0; i < count; ++i) m_keys[i] = KeyOf(i, 0);
      SortFrom(m_keys.data(), m_keys.data() + count, 0);
      m_rows.assign(first, last);
      for (std::uint32_t i = 0; i < count; ++i) first[i] = m_rows[m_keys[i].place];
    }

   private:
    struct Key {
      std::uint64_t high;  // sixteen bytes of the name, the first one highest
      std::uint64_t low;
      std::uint32_t place;
    };
    struct Span {
      std::uint32_t at;
      std::uint32_t size;
    };

    std::uint64_t BytesAsNumber(const Span& span, std::size_t from) const {
      std::uint64_t number = 0;
      if (from + 8 <= span.size) {
        std::memcpy(&number, m_names.data() + span.at + from, 8);
        return __builtin_bswap64(number);
      }
      for (std::size_t b = from; b < from + 8; ++b) {
        number = number << 8 | (b < span.size ? static_cast<unsigned char>(m_names[span.at + b]) : 0u);
      }
      return number;
    }

    Key KeyOf(std::uint32_t place, std::size_t from) const {
      return {BytesAsNumber(m_spans[place], from), BytesAsNumber(m_spans[place], from + 8), place};
    }

    // Sorts keys whose names agree before byte `from` by the bytes from there
    // on. A name holds no zero byte, so equal keys of names that end within
    // these sixteen bytes are equal names.
    void SortFrom(Key* first, Key* last, std::size_t from) {
      std::sort(first, last, [](const Key& a, const Key& b) {
        if (a.high != b.high) return a.high < b.high;
        return a.low != b.low ? a.low < b.low : a.place < b.place;
      });
      for (Key* run = first; run != last;) {
        Key* end = run + 1;
        while (end != last && end->high == run->high && end->low == run->low) ++end;
        if (end - run > 1 && m_spans[run->place].size > from + 16) {
          for (Key* key = run; key != end; ++key) *key = KeyOf(key->place, from + 16);
          SortFrom(run, end, from + 16);
        }
        run = end;
      }
    }

    std::string m_names;
    std::vector<Span> m_spans;
    std::vector<Key> m_keys;
    std::vector<std::uint32_t> m_rows;
  };

  // Orders the rows order[first, last) of one day by their names; equal
  // names keep their reading order.
  void SortDay(NameSorter& names, std::vector<std::uint32_t>& order, std::size_t first, std::size_t last) const {
    if (last - first < 2) return;
    names.Sort(order.data() + first, order.data() + last, [this](std::uint32_t row) { return Name(m_rows[row]); });
  }

  std::string_view DateFirst(const DateTexts& date) const { return std::string_view(m_dateBytes).substr(date.at, date.first); }
  std::string_view DateSecond(const DateTexts& date) const {
    return std::string_view(m_dateBytes).substr(date.at + date.first, date.second);
  }

  // As AppendFactsAsLine: date, name, age, days left and reminder, separated by tabs.
  void AppendLine(std::string& out, const Row& row) const {
    const DateTexts& date = m_dates[row.dateTexts];
    const std::string_view name = Name(row);
    const std::string& days = m_days[row.daysLeft].line;
    const std::string& reminder = m_reminderLines[row.reminder];
    platform::RoomWriter writer(out, date.first + name.size() + date.second + days.size() + reminder.size());
    writer.Put(DateFirst(date));
    writer.Put(name);
    writer.Put(DateSecond(date));
    writer.Put(days);
    writer.Put(reminder);
  }

  // As AppendFactsAsJson.
  void AppendJson(std::string& out, const Row& row) const {
    const DateTexts& date = m_dates[row.dateTexts];
    const DayTexts& day = m_days[row.daysLeft];
    const std::string_view name = Name(row);
    const std::string_view note = std::string_view(m_texts).substr(row.note, row.noteSize);
    // The fixed words and two numbers take less than 160 bytes.
    platform::RoomWriter writer(out, 160 + JsonStringBound(name) + JsonStringBound(note) + date.first + date.second +
                              day.jsonNext.size() + day.jsonDays.size());
    writer.Put("{\"uid\":");
    writer.PutNumber(row.uid);
    writer.Put(",\"kind\":\"");
    writer.Put(std::string_view(row.kind));
    writer.Put("\",\"name\":");
    writer.PutWith([name](char* at) { return PutJsonString(at, name); });
    writer.Put(DateFirst(date));
    writer.Put(day.jsonNext);
    writer.Put(",\"years\":");
    // Years are counted only from a date with a year.
    if (date.yearless) {
      writer.Put("null");
    } else {
      writer.PutNumber(day.next.year - date.year);
    }
    writer.Put(DateSecond(date));
    writer.Put(day.jsonDays);
    writer.Put(",\"reminder\":\"");
    writer.Put(std::string_view(kReminderWords[row.reminder]));
    writer.Put("\",\"note\":");
    writer.PutWith([note](char* at) { return PutJsonString(at, note); });
    writer.Put("}");
  }

  const CalendarDate m_today;
  const std::int64_t m_todayNumber;
  const bool m_json;
  EntryTextContext m_context;
  std::vector<Row> m_rows;
  std::string m_texts;
  std::unordered_map<platform::FileTime, StoredDay> m_storedDays;  // by the stored day's number
  std::u16string m_name;  // the row's name, made again for each
  std::vector<DateTexts> m_dates;
  std::string m_dateBytes;
  std::vector<DayTexts> m_days;
  std::string m_reminderLines[4];
};

}  // namespace

int RunList(const CliArgs& args) {
  long days = 30;
  int kind = -1;
  bool stars = false;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") return ShowHelp("list");
    if (arg == "--json") {
      json = true;
    } else if (arg == "--stars") {
      stars = true;
    } else if (arg == "--days" && i + 1 < args.size()) {
      if (!ParseNumber(args[++i], 0, 366, days)) {
        return CliUsageFail(CliText(u"CLI_BAD_DAYS", {platform::FromUtf8(args[i])}), "list");
      }
    } else if (arg == "--kind" && i + 1 < args.size()) {
      std::uint16_t parsed = 0;
      if (!ParseKindWord(args[++i], parsed)) {
        return CliUsageFail(CliText(u"CLI_BAD_KIND", {platform::FromUtf8(args[i])}), "list");
      }
      kind = parsed;
    } else {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "list");
    }
  }
  FeskList& list = CommandList();
  ComingList coming(Today(), json);
  // Room for as many rows as the file can hold, so the rows never move;
  // pages that stay unused cost nothing. Beyond a quarter million entries the
  // room grows as usual.
  struct stat info {};
  if (stat(list.m_szPath.c_str(), &info) == 0) {
    platform::PrepareHeapForLargeData(static_cast<std::size_t>(info.st_size));
    coming.Reserve(std::min<std::size_t>(static_cast<std::size_t>(info.st_size) / kSmallestRecordBytes + 1024, 1 << 18),
                   static_cast<std::size_t>(info.st_size) / 4);
  }
  const auto consider = [&](const EntryRecord& entry) {
    if (entry.star && !stars) return;
    if (kind >= 0 && (entry.star || entry.kind != kind)) return;
    coming.Consider(entry, days);
  };
  int damaged = 0;
  const StorageLoad load = ScanEntryRecords(list, consider, &damaged);
  if (const int failed = ReportLoad(load); failed != kExitDone) return failed;
  ReportDamage(damaged);
  if (stars) {
    list.LoadStars();
    std::u16string texts;
    for (const StorageItem& item : list) {
      if (const FeskItem* entry = AsEntry(&item)) consider(EntryRecordOf(*entry, texts));
    }
  }
  if (!coming.Write()) return kExitStorage;
  return coming.Empty() ? kExitNothingFound : kExitDone;
}
