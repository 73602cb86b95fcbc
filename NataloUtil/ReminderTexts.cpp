#include "NataloUtil/ReminderTexts.h"

#include "common/entries/EntryTexts.h"
#include "common/entries/FeskItem.h"
#include "common/entries/TextFormat.h"
#include "common/text/LocalTable.h"

namespace {

std::u16string FirstLetter(const std::u16string& text) { return text.empty() ? std::u16string() : text.substr(0, 1); }

struct KindKeys {
  const char16_t* title;
  const char16_t* format2;
  const char16_t* format3;
  const char16_t* format3NoYear;  // the countdown without an age
};

KindKeys KeysOf(std::uint16_t kind) {
  if (kind == Anniversary)
    return {u"DLG_UTIL_ANNIVERSARY_HEADER", u"DLG_UTIL_ANNIVERSARY_FORMAT2", u"DLG_UTIL_ANNIVERSARY_FORMAT3",
            u"DLG_UTIL_ANNIVERSARY_NOYEAR_FORMAT3"};
  if (kind == OtherDate)
    return {u"DLG_UTIL_OTHER_HEADER", u"DLG_UTIL_OTHER_FORMAT2", u"DLG_UTIL_OTHER_FORMAT3",
            u"DLG_UTIL_OTHER_NOYEAR_FORMAT3"};
  return {u"DLG_UTIL_BIRTHDAY_HEADER", u"DLG_UTIL_BIRTHDAY_FORMAT2", u"DLG_UTIL_BIRTHDAY_FORMAT3",
          u"DLG_UTIL_BIRTHDAY_NOYEAR_FORMAT3"};
}

}  // namespace

std::u16string ReminderName(const FeskItem& item, std::uint32_t displayNames) {
  if (item.m_wKind == Anniversary) return FormatAnniversaryName(WideText(item.Name()), displayNames);
  if (item.m_wKind != Birthday) return std::u16string(item.Name());
  const std::u16string first(item.FirstName());
  const std::u16string last(item.LastName());
  if (IsWrittenInCjkScript(first) && IsWrittenInCjkScript(last)) return last + first;
  switch (displayNames) {
    case 1:
      return last + u", " + first;
    case 2:
      return FirstLetter(first) + u". " + last;
    case 3:
      return last + u", " + FirstLetter(first);
    default:
      return first + u" " + last;
  }
}

ReminderTexts BuildReminderTexts(const FeskItem& item, std::uint32_t displayNames, std::uint32_t zodiac,
                                 const CalendarDate& today) {
  const LocalTable& local = GetLocalTable();
  EntryTextContext context;
  context.today = today;
  context.view.dwDisplayNames = displayNames;
  context.view.dwDateFormat = 5;
  context.view.dwYearValue = 0;
  context.view.dwDisplayAge = 2;
  context.view.dwDaysLeft = 1;

  const KindKeys keys = KeysOf(item.m_wKind);
  ReminderTexts texts;
  texts.title = local.Get(keys.title);
  texts.line1 = ReminderName(item, displayNames);
  texts.line2 = FormatText(local.Get(keys.format2), {FormatEntryDate(item, context)});
  // "Turns 31 tomorrow", "1 year in 3 days": the wording follows the counts.
  // A date without a year, or an other date still ahead, has no age to name:
  // "Birthday in 3 days".
  const std::u16string age = FormatAge(item, context);
  const std::u16string days = FormatDaysLeft(item, context);
  texts.line3 = age.empty() ? FormatCountedText(keys.format3NoYear, u"", days, {days})
                            : FormatCountdownText(keys.format3, age, days);
  texts.note = item.Note().str();
  texts.showZodiac = item.m_wKind == Birthday && zodiac != 0;
  if (texts.showZodiac) {
    texts.zodiacSign = GetZodiacSign(item);
    const std::u16string name = GetZodiacName(texts.zodiacSign);
    texts.zodiacHead = FormatText(local.Get(u"DLG_UTIL_ZODIAC_HEAD"), {name});
    texts.zodiacHeadPortrait = FormatText(local.Get(u"DLG_UTIL_ZODIAC_HEAD2"), {name});
    texts.zodiacTail = local.Get(u"DLG_UTIL_ZODIAC_TAIL");
  }
  return texts;
}
