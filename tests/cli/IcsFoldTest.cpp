// Folding of calendar lines, including bytes that are no UTF-8, which once
// made the fold loop without end, and the escapes of calendar and JSON text.
#include <gtest/gtest.h>

#include <string>

#include "NataloCli/JsonText.h"
#include "common/calendar/EntryEvent.h"
#include "common/calendar/IcsCalendar.h"
#include "common/entries/EntryRecord.h"
#include "common/entries/FeskItem.h"
#include "common/entries/TextFormat.h"
#include "platform/text/Utf.h"

namespace {

std::string TwoByteLetters(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += "\xC3\xA9";
  return out;
}

TEST(IcsFold, PiecesStayWithinTheLimitAndUnfoldToTheLine) {
  struct Case {
    const char* what;
    std::string line;
    std::size_t firstPiece;  // octets before the first fold
  };
  const Case cases[] = {
      {"ASCII", "SUMMARY:" + std::string(200, 'a'), 75},
      {"two-byte letters stay whole", "SUMMARY:" + std::string(36, 'x') + TwoByteLetters(20), 74},
      {"no character start at all", std::string(200, '\xA8'), 75},
      {"a sequence across the limit", std::string(74, 'a') + "\xE2\x82\xAC" + "tail", 74},
  };
  for (const auto& c : cases) {
    std::string folded;
    AppendFoldedIcsLine(folded, c.line);
    std::string unfolded;
    std::size_t start = 0;
    bool first = true;
    while (start < folded.size()) {
      const std::size_t end = folded.find("\r\n", start);
      ASSERT_NE(end, std::string::npos) << c.what;
      std::string piece = folded.substr(start, end - start);
      EXPECT_LE(piece.size(), 75u) << c.what;
      if (first) {
        EXPECT_EQ(piece.size(), std::min(c.firstPiece, c.line.size())) << c.what;
      } else {
        piece.erase(0, 1);
      }
      unfolded += piece;
      first = false;
      start = end + 2;
    }
    EXPECT_EQ(unfolded, c.line) << c.what;
  }
}

// Text is looked at eight bytes at a time: a byte to escape or drop must be
// found at any place in a word, next to letters of one and of several bytes.
// Calls `check(before, after)` for each such place.
template <typename Check>
void ForEachPlaceInAWord(const Check& check) {
  for (const std::string& filler : {std::string("a"), std::string("\xC3\xA9"), std::string("\x80")}) {
    for (std::size_t at = 0; at < 17; ++at) {
      std::string before;
      while (before.size() < at) before += filler;
      check(before, std::string(9, 'z'));
    }
  }
}

TEST(IcsText, EscapesAndDropsAtEveryPlace) {
  const struct {
    char byte;
    const char* becomes;
  } cases[] = {{'\\', "\\\\"}, {';', "\\;"}, {',', "\\,"}, {'\n', "\\n"}, {'\x01', ""}, {'\x1F', ""}, {'\x7F', ""}};
  for (const auto& c : cases) {
    ForEachPlaceInAWord([&c](const std::string& before, const std::string& after) {
      std::string out;
      AppendIcsText(out, before + c.byte + after);
      EXPECT_EQ(out, before + c.becomes + after) << static_cast<int>(c.byte) << " at " << before.size();
    });
  }
}

TEST(JsonText, EscapesAtEveryPlace) {
  const struct {
    char byte;
    const char* becomes;
  } cases[] = {{'"', "\\\""}, {'\\', "\\\\"}, {'\n', "\\n"}, {'\x01', "\\u0001"}, {'\x1F', "\\u001f"}, {'\x7F', "\\u007f"}};
  for (const auto& c : cases) {
    ForEachPlaceInAWord([&c](const std::string& before, const std::string& after) {
      std::string out = "[";
      AppendJsonString(out, before + c.byte + after);
      EXPECT_EQ(out, "[\"" + before + c.becomes + after + "\"") << static_cast<int>(c.byte) << " at " << before.size();
    });
  }
}

// The summary is converted piece by piece; it must read as the whole text
// converted at once, whatever the format and the name's characters.
TEST(IcsSummary, ReadsAsTheFormattedTextInUtf8) {
  const std::u16string formats[] = {u"%s (%s)", u"100%% %s: %s", u"%x%s%", u"%s", u"\u00e9%s\u00e9 %s %s", u"\xD83C%s (%s)"};
  const std::u16string names[] = {u"Ann", u"Zo\u00eb \U0001F382", u"\U0001F382", u"\xDF82lone\xD83C"};
  for (const std::u16string& format : formats) {
    for (const std::u16string& name : names) {
      FeskItem entry(Birthday);
      entry.SetFirstName(name);
      ASSERT_TRUE(MidnightOf({1990, 5, 17}, entry.m_ftDate));
      IcsEvent event;
      FillEvent(entry, "id", format, {2026, 1, 1}, event);
      EXPECT_EQ(event.summary, platform::ToUtf8(FormatText(format, {entry.GetDisplayName(), u"1990"})))
          << platform::ToUtf8(format) << " " << platform::ToUtf8(name);
    }
  }
}

// Events written straight from records read as FillEvent's events written by
// the calendar, one after another through one writer, so that what it keeps
// of a day or a reminder is reused: days in one slot of its table, one day for
// several kinds, folded lines, escapes, dates without a year, stars.
TEST(IcsEventWriter, WritesWhatTheCalendarWritesOfFilledEvents) {
  const std::u16string longName(40, u'\u05e9');
  const struct {
    std::uint16_t kind;
    std::u16string first, last, name, note;
    CalendarDate date;
    bool enabled, star;
  } rows[] = {
      {Birthday, u"Ann", u"Lee, Jr.; \\x", u"", u"line\nnext\x01 \U0001F382", {1990, 5, 17}, true, false},
      {Birthday, u"Zo\u00eb", u"", u"", u"", {1993, 3, 6}, true, false},  // 1024 days later
      {Anniversary, u"", u"", u"Wedding", u"", {1990, 5, 17}, true, false},
      {OtherDate, u"", u"", u"Car", u"abcdefg;abcdefg,abcdefg\\abcdefg\x7f abcdefg\x1f", {1990, 5, 17}, true, false},
      {Birthday, longName, u"Long \U0001F382 name, folded", u"", std::u16string(90, u'n'), {1961, 2, 28}, true, false},
      {Birthday, u"\U0001F382", u"\xDF82", u"", u"\xDC01\xDC02 \xD83C", {1996, 2, 29}, true, false},
      {Birthday, u"\u5c71\u7530", u"\u592a\u90ce", u"", u"", {1960, 11, 30}, true, false},
      {Birthday, u"Leap", u"Less", u"", u"", {kYearUnknown, 2, 29}, true, false},
      {Anniversary, u"", u"", u"Yearless", u"", {kYearUnknown, 12, 31}, false, false},
      {Birthday, u"Star", u"Person", u"", u"", {1899, 12, 31}, true, true},
  };
  const std::u16string format = u"%s (%s), 100%%";
  std::string calendarText;
  IcsCalendar calendar({}, "20260101T000000Z", [&calendarText](std::string_view piece) {
    calendarText.append(piece);
    return true;
  });
  const std::size_t header = [] {
    std::string text;
    IcsCalendar({}, "20260101T000000Z", [&text](std::string_view piece) {
      text.append(piece);
      return true;
    }).Finish();
    return text.size() - std::string("END:VCALENDAR\r\n").size();
  }();
  EntryEventWriter writer("id", format, {2026, 6, 1}, "20260101T000000Z", 0);
  IcsEventText written;
  std::u16string texts;
  int uid = 1;
  for (const auto& row : rows) {
    FeskItem entry(row.kind);
    entry.SetFirstName(row.first);
    entry.SetLastName(row.last);
    entry.SetName(row.name);
    entry.SetNote(row.note);
    ASSERT_TRUE(MidnightOf(row.date, entry.m_ftDate));
    // Reminders at a minute of their own, a few days before.
    ASSERT_TRUE(MidnightOf({2001, row.date.month, 1}, entry.m_ftStart));
    entry.m_ftStart += (570 + uid) * platform::FILETIME_PER_MINUTE;
    entry.m_bEnabled = row.enabled;
    entry.m_bStar = row.star;
    entry.m_nUID = uid++;
    IcsEvent event;
    FillEvent(entry, "id", format, {2026, 6, 1}, event);
    calendar.Add(event);
    writer.Append(EntryRecordOf(entry, texts), written);
  }
  // More days and reminders than the writer's tables first hold, then each again.
  for (int i = 0; i < 3000; ++i) {
    FeskItem entry(Birthday);
    entry.SetFirstName(u"Day");
    ASSERT_TRUE(MidnightOf({1950, 1, 1}, entry.m_ftDate));
    entry.m_ftDate += static_cast<platform::FileTime>(i % 1500) * platform::FILETIME_PER_DAY;
    entry.m_ftStart = entry.m_ftDate - 3 * platform::FILETIME_PER_DAY;
    entry.m_bEnabled = 1;
    entry.m_nUID = uid++;
    IcsEvent event;
    FillEvent(entry, "id", format, {2026, 6, 1}, event);
    calendar.Add(event);
    writer.Append(EntryRecordOf(entry, texts), written);
  }
  ASSERT_TRUE(calendar.Finish());
  EXPECT_EQ(written.View(), calendarText.substr(header, calendarText.size() - header - 15));
}

}  // namespace
