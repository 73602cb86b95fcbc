#include "common/text/LocalePatterns.h"

#include <mutex>

namespace {

using Text = std::u16string;
constexpr std::size_t npos = Text::npos;

struct UserLocaleState {
  LocalePatterns patterns;
  platform::CalendarNames names;
  bool ready = false;
};

UserLocaleState g_state;
std::mutex g_stateMutex;

Text Truncate(std::u16string_view text) {
  if (text.size() <= kMaxPatternChars) return Text(text);
  std::size_t n = kMaxPatternChars;
  if (text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;  // keep surrogate pairs whole
  return Text(text.substr(0, n));
}

bool IsDateField(char16_t c) { return c == u'd' || c == u'M' || c == u'y'; }

// Position of the first `what` outside quoted text, or npos.
std::size_t FindUnquoted(const Text& text, std::u16string_view what) {
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\'') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && text.compare(i, what.size(), what) == 0) return i;
  }
  return npos;
}

void ReplaceFirst(Text& text, std::u16string_view what) {
  const auto pos = text.find(what);
  if (pos != npos) text.replace(pos, what.size(), what.size(), u' ');
}

bool In(char16_t c, std::u16string_view set) { return set.find(c) != std::u16string_view::npos; }

void TrimEnd(Text& text, std::u16string_view set) {
  while (!text.empty() && In(text.back(), set)) text.pop_back();
}

void TrimStart(Text& text, std::u16string_view set) {
  std::size_t n = 0;
  while (n < text.size() && In(text[n], set)) ++n;
  text.erase(0, n);
}

// Removes characters of `set` and whole quoted literals from the end.
void TrimEndWithLiterals(Text& text, std::u16string_view set) {
  for (;;) {
    TrimEnd(text, set);
    if (text.size() < 2 || text.back() != u'\'') return;
    const auto open = text.rfind(u'\'', text.size() - 2);
    if (open == npos) return;
    text.erase(open);
  }
}

// Removes characters of `set` and whole quoted literals from the start.
void TrimStartWithLiterals(Text& text, std::u16string_view set) {
  for (;;) {
    TrimStart(text, set);
    if (text.empty() || text.front() != u'\'') return;
    const auto close = text.find(u'\'', 1);
    if (close == npos) return;
    text.erase(0, close + 1);
  }
}

// Where the date fields outside quoted text begin and end; npos when there is none.
void DateFieldSpan(const Text& text, std::size_t& first, std::size_t& last) {
  first = last = npos;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\'') quoted = !quoted;
    else if (!quoted && IsDateField(text[i])) {
      if (first == npos) first = i;
      last = i;
    }
  }
}

// Blanks the first year field of `len` letters; when it stood before or after
// every other field, the separators and quoted literals that belonged to it go
// too ("yyyy'年'M'月'd'日'" keeps "M'月'd'日'", "d 'de' MMMM 'de' yyyy" keeps
// "d 'de' MMMM", "yyyy-MM-dd" keeps "MM-dd").
void BlankYear(Text& text, std::size_t len, std::u16string_view trailingSet, std::u16string_view leadingSet) {
  const Text year(len, u'y');
  const auto pos = text.find(year);
  if (pos == npos) return;
  text.replace(pos, len, len, u' ');
  std::size_t first = 0, last = 0;
  DateFieldSpan(text, first, last);
  const bool wasLast = last == npos || last < pos;
  const bool wasFirst = first == npos || first > pos;
  TrimEnd(text, trailingSet);
  if (wasLast) TrimEndWithLiterals(text, trailingSet);
  if (wasFirst) TrimStartWithLiterals(text, leadingSet);
}

Text DeriveLongDate(Text text) {
  ReplaceFirst(text, u"dddd");
  ReplaceFirst(text, u"ddd");
  TrimStart(text, u", ");
  // Quoted text after a closing year (a suffix such as "'г.'") goes with
  // everything after it. Quoted words between fields ("d 'de' MMMM") and after
  // a closing day ("d'日'") belong to the date and stay.
  std::size_t first = 0, last = 0;
  DateFieldSpan(text, first, last);
  if (last == npos || text[last] == u'y') {
    const auto quote = text.find(u'\'', last == npos ? 0 : last);
    if (quote != npos) text.replace(quote, text.size() - quote, text.size() - quote, u' ');
  }
  TrimEnd(text, u", ");
  return text;
}

Text DeriveLongDateNoYear(Text text) {
  if (text.find(u"yyyy") == npos) return text;
  BlankYear(text, 4, u", ", u", ./-");
  TrimStart(text, u", ");
  return text;
}

Text DeriveShortDateNoYear(Text text) {
  if (text.find(u"yyyy") != npos) BlankYear(text, 4, u" /.-", u" /.-");
  if (text.find(u"yy") != npos) BlankYear(text, 2, u" /.-", u" /.-");
  return text;
}

Text DeriveTimeNoSec(Text text) {
  const auto s = FindUnquoted(text, u"s");
  if (s == npos) return text;
  std::size_t end = s + 1;
  if (end < text.size() && text[end] == u's') ++end;
  std::size_t begin = s;
  if (begin > 0) {
    --begin;
    if (text[begin] == u'\'') {  // the separator is a quoted literal: it goes whole
      const auto open = begin > 0 ? text.rfind(u'\'', begin - 1) : npos;
      if (open != npos) begin = open;
    }
  }
  text.erase(begin, end - begin);
  return text;
}

// Widens a year of fewer than four letters (the first one outside quoted
// text) to four, so that the short date tells 1956 from 2056; the two-digit
// picture is derived from the result.
Text WidenYear(Text text) {
  const auto n = FindUnquoted(text, u"y");
  if (n == npos) return text;
  std::size_t run = 0;
  while (n + run < text.size() && text[n + run] == u'y') ++run;
  if (run < 4) text.replace(n, run, u"yyyy");
  return Truncate(text);
}

Text DeriveShortDateYY(const Text& text) {
  const auto n = FindUnquoted(text, u"y");
  if (n == npos) return text;
  std::size_t run = 0;
  while (n + run < text.size() && text[n + run] == u'y') ++run;
  if (n == 0) return run > 2 ? text.substr(2) : text;  // a two-digit year stays as it is
  return text.substr(0, n + (run < 2 ? run : 2));
}

}  // namespace

LocalePatterns DeriveLocalePatterns(std::u16string_view shortDate, std::u16string_view longDate,
                                    std::u16string_view time) {
  LocalePatterns p;
  p.szShortDate = WidenYear(Truncate(shortDate));
  p.szLongDate = DeriveLongDate(Truncate(longDate));
  p.szLongDateNoYear = DeriveLongDateNoYear(p.szLongDate);
  p.szShortDateNoYear = DeriveShortDateNoYear(p.szShortDate);
  p.szTime = Truncate(time);
  p.szTimeNoSec = DeriveTimeNoSec(p.szTime);
  p.szShortDateYY = DeriveShortDateYY(p.szShortDate);
  return p;
}

LocalePatterns LocalePatternsFor(const std::string& localeName) {
  const platform::LocalePictures pictures = platform::GetLocalePictures(localeName);
  return DeriveLocalePatterns(pictures.shortDate, pictures.longDate, pictures.time);
}

void InitLocalePatterns() {
  std::lock_guard<std::mutex> lock(g_stateMutex);
  if (g_state.ready) return;
  const std::string name = platform::UserTimeLocaleName();
  g_state.patterns = LocalePatternsFor(name);
  g_state.names = platform::GetCalendarNames(name);
  g_state.ready = true;
}

void ResetLocalePatterns() {
  std::lock_guard<std::mutex> lock(g_stateMutex);
  g_state.patterns = LocalePatterns{};
  g_state.names = platform::CalendarNames{};
  g_state.ready = false;
}

void SetLocalePatterns(const LocalePatterns& patterns, const platform::CalendarNames& names) {
  std::lock_guard<std::mutex> lock(g_stateMutex);
  g_state.patterns = patterns;
  g_state.names = names;
  g_state.ready = true;
}

const platform::CalendarNames& UserCalendarNames() {
  InitLocalePatterns();
  return g_state.names;
}

const std::u16string& g_szShortDate = g_state.patterns.szShortDate;
const std::u16string& g_szLongDate = g_state.patterns.szLongDate;
const std::u16string& g_szLongDateNoYear = g_state.patterns.szLongDateNoYear;
const std::u16string& g_szShortDateNoYear = g_state.patterns.szShortDateNoYear;
const std::u16string& g_szShortDateYY = g_state.patterns.szShortDateYY;
const std::u16string& g_szTime = g_state.patterns.szTime;
const std::u16string& g_szTimeNoSec = g_state.patterns.szTimeNoSec;
