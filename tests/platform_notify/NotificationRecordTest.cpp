#include <gtest/gtest.h>

#include "platform/notify/NotificationRecord.h"

using namespace platform;

namespace {

NotificationTrigger TimedTrigger(std::string arguments) {
  NotificationTrigger t;
  t.type = NotificationType::Time;
  t.application = "/opt/Natalo/NataloUtil";
  t.arguments = std::move(arguments);
  t.start = {2024, 5, 0, 17, 9, 30, 15, 250};
  return t;
}

}  // namespace

TEST(NotificationRecord, ArgumentTextSurvivesExactly) {
  for (const std::string& args : {std::string("/T=\"133603398152500000\" /ID=\"3,7\""), std::string(""),
                                 std::string("back\\slash \\n not a newline\nreal newline\r\n\ttab"),
                                 std::string("Grüße = \"€\" ==")}) {
    NotificationTrigger parsed;
    std::string error;
    ASSERT_TRUE(ParseNotificationRecord(FormatNotificationRecord(TimedTrigger(args)), parsed, error)) << error;
    EXPECT_EQ(parsed.arguments, args);
    EXPECT_EQ(parsed.application, "/opt/Natalo/NataloUtil");
    EXPECT_EQ(parsed.start.wMinute, 30);
    EXPECT_EQ(parsed.start.wMilliseconds, 250);
  }
}

// Written by hand, so that records already on disk stay readable.
TEST(NotificationRecord, ReadsHandWrittenRecords) {
  NotificationTrigger t;
  std::string error;
  ASSERT_TRUE(ParseNotificationRecord("# Natalo user notification\n"
                                      "version=1\nkind=time\nevent=none\n"
                                      "start=133603398000000000\nend=0\n"
                                      "application=/a b/NataloUtil\narguments=/T=\"1\" /ID=\"2\"\n"
                                      "added-later=ignored\n",
                                      t, error))
      << error;
  EXPECT_EQ(t.type, NotificationType::Time);
  EXPECT_EQ(t.application, "/a b/NataloUtil");
  EXPECT_EQ(t.arguments, "/T=\"1\" /ID=\"2\"");
  SystemTime expected;
  ASSERT_TRUE(FileTimeToSystemTime(133603398000000000ULL, expected));
  EXPECT_EQ(t.start.wYear, expected.wYear);
  EXPECT_EQ(t.start.wHour, expected.wHour);

  ASSERT_TRUE(ParseNotificationRecord("version=1\nkind=event\nevent=timechange\napplication=/u\n", t, error))
      << error;
  EXPECT_EQ(t.type, NotificationType::Event);
  EXPECT_EQ(t.event, NotificationEvent::TimeChange);
  EXPECT_EQ(t.arguments, "");
}

TEST(NotificationRecord, RejectsBrokenRecordsAndKeepsTheTarget) {
  const char* broken[] = {
      "",
      "garbage without structure",
      "version=2\nkind=time\nstart=133603398000000000\napplication=/u\n",
      "kind=time\nstart=133603398000000000\napplication=/u\n",
      "version=1\nkind=alarm\nstart=133603398000000000\napplication=/u\n",
      "version=1\nkind=time\nstart=0\napplication=/u\n",
      "version=1\nkind=time\nstart=12x\napplication=/u\n",
      "version=1\nkind=time\nstart=-5\napplication=/u\n",
      "version=1\nkind=time\nstart=99999999999999999999999\napplication=/u\n",
      "version=1\nkind=time\nstart=133603398000000000\napplication=\n",
      "version=1\nkind=time\nstart=133603398000000000\napplication=/u\narguments=bad \\q escape\n",
      "version=1\nkind=time\nstart=133603398000000000\napplication=/u\napplication=/v\n",
      "version=1\nkind=event\nevent=none\napplication=/u\n",
      "version=1\nkind=time\nstart=133603398000000000\napplication=/u",  // cut off
      "version=1\nkind=time\nstart=133603398000000000\n=/u\n",
  };
  for (const char* text : broken) {
    NotificationTrigger t = TimedTrigger("kept");
    std::string error;
    EXPECT_FALSE(ParseNotificationRecord(text, t, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    EXPECT_EQ(t.arguments, "kept") << text;
  }
}

TEST(NotificationRecord, ValidTriggers) {
  EXPECT_TRUE(IsValidTrigger(TimedTrigger("x")));
  NotificationTrigger t = TimedTrigger("x");
  t.application.clear();
  EXPECT_FALSE(IsValidTrigger(t));
  t = TimedTrigger(std::string("a\0b", 3));
  EXPECT_FALSE(IsValidTrigger(t));
  t = TimedTrigger("x");
  t.start = {};
  EXPECT_FALSE(IsValidTrigger(t));  // a timed notification needs a time
  t.start = {2023, 4, 0, 31, 8, 0, 0, 0};
  EXPECT_FALSE(IsValidTrigger(t));  // 31 April
  t = TimedTrigger("");
  t.type = NotificationType::Event;
  t.start = {};
  EXPECT_FALSE(IsValidTrigger(t));  // no event named
  t.event = NotificationEvent::TimeChange;
  EXPECT_TRUE(IsValidTrigger(t));
  t.type = static_cast<NotificationType>(7);
  EXPECT_FALSE(IsValidTrigger(t));
}
