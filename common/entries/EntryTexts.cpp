#include "common/entries/EntryTexts.h"

#include "common/entries/EntryRecord.h"

#include <array>

#include "common/entries/EntryRecord.h"
#include "common/entries/FeskItem.h"
#include "common/entries/TextFormat.h"
#include "common/text/DateFormat.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"

namespace {

struct ZodiacRow {
  int startDay, startMonth, endDay, endMonth;
};

constexpr std::array<ZodiacRow, 12> kZodiacTable = {{
    {21, 3, 20, 4},
    {21, 4, 21, 5},
    {22, 5, 21, 6},
    {22, 6, 22, 7},
    {23, 7, 23, 8},
    {24, 8, 22, 9},
    {23, 9, 23, 10},
    {24, 10, 22, 11},
    {23, 11, 21, 12},
    {22, 12, 19, 1},
    {20, 1, 18, 2},
    {19, 2, 20, 3},
}};

constexpr std::size_t kMaxDateChars = 63;

// The key of the short weekday name; Sunday 0.
const std::u16string& WeekDayName(int weekDay) {
  const LocalTable& texts = GetLocalTable();
  switch (weekDay) {
    case 1: return texts.Get(u"MIDDLE_MONDAY");
    case 2: return texts.Get(u"MIDDLE_TUESDAY");
    case 3: return texts.Get(u"MIDDLE_WEDNESDAY");
    case 4: return texts.Get(u"MIDDLE_THURSDAY");
    case 5: return texts.Get(u"MIDDLE_FRIDAY");
    case 6: return texts.Get(u"MIDDLE_SATURDAY");
    default: return texts.Get(u"MIDDLE_SUNDAY");
  }
}

std::u16string FormatOne(std::u16string_view key, const std::u16string& argument) {
  return FormatText(GetLocalTable().Get(key), {argument});
}

std::u16string FormatDaysLeftText(std::u16string_view key, const std::u16string& days) {
  return FormatCountedText(key, u"", days, {days});
}

// Whether the row shows an age: it is switched on, the date has a year and
// is not in the future (an other date may lie ahead; it has no age yet).
bool ShowsAge(const FeskItem& entry, const EntryTextContext& context) {
  return context.view.dwDisplayAge != 0 && entry.HasYear() &&
         DayNumber(DateOfFileTime(entry.m_ftDate)) <= DayNumber(context.today);
}

// The first character of a text; a surrogate pair stays whole.
std::u16string_view FirstCharacter(std::u16string_view text) {
  if (text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
    return text.substr(0, 2);
  }
  return text.substr(0, 1);
}

bool IsCjkUnit(char16_t c) {
  // Latin, Greek, Cyrillic and the other scripts below Hangul jamo first.
  if (c < 0x1100) return false;
  return (c <= 0x11FF) ||                 // Hangul jamo
         (c >= 0x2E80 && c <= 0x2FDF) ||  // Han radicals
         (c >= 0x3005 && c <= 0x3007) ||  // iteration mark, closing mark, zero
         (c >= 0x3040 && c <= 0x30FF) ||  // hiragana, katakana
         (c >= 0x3100 && c <= 0x318F) ||  // bopomofo, Hangul compatibility jamo
         (c >= 0x31F0 && c <= 0x31FF) ||  // katakana extension
         (c >= 0x3400 && c <= 0x4DBF) ||  // Han extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||  // Han
         (c >= 0xA960 && c <= 0xA97F) ||  // Hangul jamo extension
         (c >= 0xAC00 && c <= 0xD7AF) ||  // Hangul syllables
         (c >= 0xF900 && c <= 0xFAFF) ||  // Han compatibility
         (c >= 0xFF66 && c <= 0xFF9F);    // half-width katakana
}

// Where a name made by "DLG_FORMAT_ANNIVERSARYNAME" holds the person's name:
// the format's text before and after its one "%s". Empty (`held` false) when
// the format lacks "%s" or has another "%" sequence after it.
struct AnniversaryFormat {
  explicit AnniversaryFormat(const std::u16string& format) {
    const std::size_t place = format.find(u"%s");
    held = place != std::u16string::npos && format.find(u'%', place + 2) == std::u16string::npos;
    if (!held) return;
    before = std::u16string_view(format).substr(0, place);
    after = std::u16string_view(format).substr(place + 2);
  }
  AnniversaryFormat() : AnniversaryFormat(GetLocalTable().Get(u"DLG_FORMAT_ANNIVERSARYNAME")) {}

  // The person's name inside an anniversary's name; false when the name does
  // not follow the format.
  bool HeldPersonName(std::u16string_view name, std::u16string_view& person) const {
    if (!held || name.size() <= before.size() + after.size() || !name.starts_with(before) || !name.ends_with(after)) {
      return false;
    }
    person = name.substr(before.size(), name.size() - before.size() - after.size());
    return true;
  }

  bool held = false;
  std::u16string_view before, after;
};

// A person's name of two parts as one of the name orders writes it: "Lee,
// Ann" (or "Lee, A."), else "Ann Lee" (or "A. Lee") with exactly one space.
// False for a name whose parts cannot be told apart.
bool SplitPersonName(std::u16string_view person, std::u16string_view& first, std::u16string_view& last) {
  if (const std::size_t comma = person.find(u", "); comma != std::u16string_view::npos) {
    last = person.substr(0, comma);
    first = person.substr(comma + 2);
  } else if (const std::size_t space = person.find(u' '); space != std::u16string_view::npos) {
    first = person.substr(0, space);
    last = person.substr(space + 1);
  } else {
    return false;
  }
  const auto plain = [](std::u16string_view part) {
    return !part.empty() && part.find_first_of(u" ,&+/") == std::u16string_view::npos;
  };
  return plain(first) && plain(last);
}

}  // namespace

bool IsWrittenInCjkScript(std::u16string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    // Han extensions B and beyond (U+20000..U+3FFFF) as surrogate pairs.
    if (c >= 0xD840 && c <= 0xD8BF && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    if (!IsCjkUnit(c)) return false;
  }
  return true;
}

namespace {

// FormatPersonName, appended to `out`.
void AppendPersonName(std::u16string_view first, std::u16string_view last, std::uint32_t displayNames,
                      std::u16string& out) {
  // With one of the names missing the other stands alone, in full and
  // without separators.
  if (last.empty()) {
    out += first;
    return;
  }
  if (first.empty()) {
    out += last;
    return;
  }
  if (IsWrittenInCjkScript(first) && IsWrittenInCjkScript(last)) {
    out.append(last).append(first);
    return;
  }
  const std::u16string_view initial = FirstCharacter(first);
  switch (displayNames) {
    case 1: out.append(last).append(u", ").append(first); break;
    case 2: out.append(initial).append(u". ").append(last); break;
    case 3: out.append(last).append(u", ").append(initial).append(u"."); break;
    default: out.append(first).append(u" ").append(last); break;
  }
}

}  // namespace

std::u16string FormatPersonName(const std::u16string& first, const std::u16string& last, std::uint32_t displayNames) {
  std::u16string name;
  AppendPersonName(first, last, displayNames, name);
  return name;
}

std::u16string FormatAnniversaryName(std::u16string_view name, std::uint32_t displayNames) {
  const AnniversaryFormat format;
  std::u16string_view person, first, last;
  if (!format.HeldPersonName(name, person) || !SplitPersonName(person, first, last)) return std::u16string(name);
  std::u16string held;
  AppendPersonName(first, last, displayNames, held);
  return FormatText(GetLocalTable().Get(u"DLG_FORMAT_ANNIVERSARYNAME"), {held});
}

namespace {

void AppendDisplayName(std::uint16_t kind, std::u16string_view first, std::u16string_view last,
                       std::u16string_view name, std::uint32_t displayNames, std::u16string& out) {
  if (kind == Birthday) {
    AppendPersonName(first, last, displayNames, out);
  } else if (kind == Anniversary) {
    out += FormatAnniversaryName(name, displayNames);
  } else {
    out += name;
  }
}

}  // namespace

void AppendDisplayName(const FeskItem& entry, std::uint32_t displayNames, std::u16string& out) {
  AppendDisplayName(entry.m_wKind, WideText(entry.FirstName()), WideText(entry.LastName()), WideText(entry.Name()),
                    displayNames, out);
}

void AppendDisplayName(const EntryRecord& entry, std::uint32_t displayNames, std::u16string& out) {
  AppendDisplayName(entry.kind, entry.firstName, entry.lastName, entry.name, displayNames, out);
}

SortNameWriter::SortNameWriter(const EntryViewSettings& view)
    : m_format(GetLocalTable().Get(u"DLG_FORMAT_ANNIVERSARYNAME")), m_displayNames(view.dwDisplayNames) {}

void SortNameWriter::Append(const FeskItem& entry, std::u16string& out) const {
  if (entry.m_wKind == Birthday) {
    AppendPersonName(WideText(entry.FirstName()), WideText(entry.LastName()), m_displayNames, out);
    return;
  }
  // An anniversary that holds no person's name sorts by its name as it is.
  const WideText name(entry.Name());
  std::u16string_view person, first, last;
  if (entry.m_wKind != Anniversary || !AnniversaryFormat(m_format).HeldPersonName(name, person)) {
    out += name.View();
  } else if (SplitPersonName(person, first, last)) {
    AppendPersonName(first, last, m_displayNames, out);
  } else {
    out += person;
  }
}

std::u16string NameForSorting(const FeskItem& entry, const EntryViewSettings& view) {
  std::u16string name;
  SortNameWriter(view).Append(entry, name);
  return name;
}

std::u16string FormatCountedText(std::u16string_view key, std::u16string_view years, std::u16string_view days,
                                 std::initializer_list<std::u16string_view> args) {
  return FormatText(GetLocalTable().GetCounted(key, years, days), args);
}

std::u16string FormatCountdownText(std::u16string_view key, const std::u16string& years, const std::u16string& days) {
  // A birthday's age stands as a bare number ("Turns 31"); its days take the
  // plural form. The other kinds count years, and the years choose.
  const auto by = key == u"DLG_UTIL_BIRTHDAY_FORMAT3" ? LocalTable::CountedBy::Days : LocalTable::CountedBy::Years;
  return FormatText(GetLocalTable().GetCounted(key, years, days, by), {years, days});
}

EntryTextContext CurrentTextContext() { return {CurrentViewSettings(), Today()}; }

std::u16string FormatAge(const FeskItem& entry, const EntryTextContext& context) {
  if (!ShowsAge(entry, context)) return {};
  const CalendarDate& today = context.today;
  const CalendarDate born = DateOfFileTime(entry.m_ftDate);
  // In a common year a 29 February date is celebrated on the 28th.
  const int day = PlaceInYear(born.month, born.day, today.year).day;
  long long age = static_cast<long long>(today.year) - born.year;
  if (today.month < born.month || (today.month == born.month && today.day < day)) --age;
  if (today.month == born.month && today.day == day) return DecimalText(age);
  if (context.view.dwDisplayAge == 2) return DecimalText(age + 1);
  return DecimalText(age) + u"+";
}

std::u16string FormatDaysLeft(const FeskItem& entry, const EntryTextContext& context) {
  if (context.view.dwDaysLeft == 0) return {};
  const CalendarDate next = NextOccurrence(DateOfFileTime(entry.m_ftDate), context.today);
  return DecimalText(DayNumber(next) - DayNumber(context.today));
}

namespace {

// The picture with every month or weekday name ("MMMM", "dddd") in its
// abbreviated form ("MMM", "ddd"); quoted text stays as it is.
std::u16string AbbreviatedPicture(std::u16string_view picture) {
  std::u16string out;
  bool quoted = false;
  for (std::size_t i = 0; i < picture.size();) {
    const char16_t c = picture[i];
    std::size_t run = 1;
    while (!quoted && (c == u'M' || c == u'd') && i + run < picture.size() && picture[i + run] == c) ++run;
    if (c == u'\'') quoted = !quoted;
    out.append(!quoted && run >= 4 ? 3 : run, c);
    i += run;
  }
  return out;
}

std::u16string EntryDateText(const FeskItem& entry, const EntryTextContext& context, bool abbreviated) {
  const EntryViewSettings& view = context.view;
  // A date without a year keeps its own month and day in every format; only
  // the weekday format shows the next occurrence, for its weekday.
  const bool withYear = entry.HasYear();
  CalendarDate shown = DateOfFileTime(entry.m_ftDate);
  if ((withYear && view.dwYearValue == 1) || view.dwDateFormat == 2) shown = NextOccurrence(shown, context.today);
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(shown.year);
  st.wMonth = static_cast<std::uint16_t>(shown.month);
  st.wDay = static_cast<std::uint16_t>(shown.day);
  st.wDayOfWeek = static_cast<std::uint16_t>(WeekDayOf(shown));
  const auto picture = [abbreviated](const std::u16string& full) {
    return abbreviated ? AbbreviatedPicture(full) : full;
  };
  std::u16string text;
  switch (view.dwDateFormat) {
    case 0: text = FormatDate(st, g_szShortDateNoYear); break;
    case 1: text = FormatDate(st, picture(g_szLongDateNoYear)); break;
    case 2: text = FormatDate(st, g_szShortDateNoYear) + u" " + WeekDayName(st.wDayOfWeek); break;
    case 3: text = FormatDate(st, withYear ? g_szShortDateYY : g_szShortDateNoYear); break;
    case 4: text = FormatDate(st, withYear ? g_szShortDate : g_szShortDateNoYear); break;
    default: text = FormatDate(st, picture(withYear ? g_szLongDate : g_szLongDateNoYear)); break;
  }
  if (text.size() > kMaxDateChars) text.resize(kMaxDateChars);
  return text;
}

}  // namespace

std::u16string FormatEntryDate(const FeskItem& entry, const EntryTextContext& context) {
  return EntryDateText(entry, context, false);
}

std::u16string FormatEntryDateAbbreviated(const FeskItem& entry, const EntryTextContext& context) {
  return EntryDateText(entry, context, true);
}

int GetZodiacSign(const FeskItem& entry) {
  if (entry.m_wKind != Birthday) return 0;
  const CalendarDate date = DateOfFileTime(entry.m_ftDate);
  for (std::size_t sign = 0; sign < kZodiacTable.size(); ++sign) {
    const ZodiacRow& row = kZodiacTable[sign];
    if ((date.month == row.startMonth && date.day >= row.startDay) ||
        (date.month == row.endMonth && date.day <= row.endDay)) {
      return static_cast<int>(sign);
    }
  }
  return 0;
}

std::u16string GetZodiacName(int sign) {
  static constexpr std::u16string_view kKeys[] = {
      u"DLG_ZODIAC_1", u"DLG_ZODIAC_2", u"DLG_ZODIAC_3",  u"DLG_ZODIAC_4",  u"DLG_ZODIAC_5",  u"DLG_ZODIAC_6",
      u"DLG_ZODIAC_7", u"DLG_ZODIAC_8", u"DLG_ZODIAC_9", u"DLG_ZODIAC_10", u"DLG_ZODIAC_11", u"DLG_ZODIAC_12"};
  if (sign < 0 || sign >= 12) return {};
  return GetLocalTable().Get(kKeys[sign]);
}

bool GetHeaderTag(const FeskItem& entry, std::u16string& out, const EntryTextContext& context) {
  const EntryViewSettings& view = context.view;
  switch (view.dwFirstLineFormat) {
    case 1: out = FormatEntryDate(entry, context); return true;
    case 2: out = view.dwDaysLeft ? FormatDaysLeft(entry, context) : std::u16string(); return view.dwDaysLeft != 0;
    default: out = FormatAge(entry, context); return ShowsAge(entry, context);
  }
}

std::u16string GetDetailText(const FeskItem& entry, const EntryTextContext& context) {
  const EntryViewSettings& view = context.view;
  if (view.dwFirstLineFormat != 1) return FormatEntryDate(entry, context);
  if (ShowsAge(entry, context)) return FormatOne(u"LONG_AGE_STRING", FormatAge(entry, context));
  if (view.dwDaysLeft) return FormatDaysLeftText(u"LONG_DAYSLEFT_STRING", FormatDaysLeft(entry, context));
  return {};
}

bool GetSnoozeText(const FeskItem& entry, platform::FileTime now, std::u16string& out) {
  out.clear();
  platform::SystemTime back;
  if (!entry.IsSnoozed(now) || !platform::FileTimeToSystemTime(entry.m_ftSnooze, back)) return false;
  out = FormatTime(back, g_szTimeNoSec);
  if (DateOfFileTime(entry.m_ftSnooze) != DateOfFileTime(now)) out = FormatDate(back, g_szShortDateNoYear) + u" " + out;
  return true;
}

bool GetDetailTail(const FeskItem& entry, std::u16string& out, const EntryTextContext& context) {
  const EntryViewSettings& view = context.view;
  out.clear();
  switch (view.dwFirstLineFormat) {
    case 1: {
      const bool both = ShowsAge(entry, context) && view.dwDaysLeft;
      if (both) out = FormatDaysLeftText(u"LONG_DAYSLEFT_STRING2", FormatDaysLeft(entry, context));
      return both;
    }
    case 2: {
      const bool age = ShowsAge(entry, context);
      if (age) out = FormatOne(u"LONG_AGE_STRING2", FormatAge(entry, context));
      return age;
    }
    default:
      if (view.dwDaysLeft) out = FormatDaysLeftText(u"LONG_DAYSLEFT_STRING2", FormatDaysLeft(entry, context));
      return view.dwDaysLeft != 0;
  }
}
