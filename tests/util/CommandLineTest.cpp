#include <gtest/gtest.h>

#include "NataloCustomTool/SetupAction.h"
#include "NataloUtil/CommandLine.h"

TEST(UtilCommandLine, RecalculationFormsAreExact) {
  EXPECT_TRUE(IsRecalculationCommand(""));
  EXPECT_TRUE(IsRecalculationCommand("TIMECHANGE"));
  EXPECT_FALSE(IsRecalculationCommand("timechange"));
  EXPECT_FALSE(IsRecalculationCommand("TIMECHANGE "));
}

TEST(UtilCommandLine, KeyValues) {
  struct Case {
    const char* line;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"/ID=\"3,7\" /T=\"5\"", "/ID=", "3,7"},
      {"/T=\"5\" /ID=3,7 more", "/ID=", "3,7"},
      {"x/ID=1 /ID=2", "/ID=", "2"},       // inside a word it does not count
      {"x/ID=1", "/ID=", ""},
      {"/ID=\"12,13", "/ID=", "12,13"},    // unterminated quote: to the end
      {"/ID=", "/ID=", ""},
      {"/id=4", "/ID=", ""},               // case-sensitive
      {"/A=\"in stall\" x", "/A=", "in stall"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetCommandValue(c.line, c.key), c.value) << c.line;

  bool truncated = false;
  const std::string longLine = "/ID=\"" + std::string(10'000, '1') + "\"";
  EXPECT_EQ(GetCommandValue(longLine, "/ID=", &truncated).size(), kMaxCommandValueChars);
  EXPECT_TRUE(truncated);
}

TEST(UtilCommandLine, UidListsAndFireTimes) {
  EXPECT_EQ(ParseUidList("7,12", false), (std::vector<std::int32_t>{7, 12}));
  EXPECT_EQ(ParseUidList("7,x,-3, 9abc", false), (std::vector<std::int32_t>{7, 0, -3, 9}));
  EXPECT_EQ(ParseUidList("", false), std::vector<std::int32_t>{});
  EXPECT_EQ(ParseUidList("99999999999", false), std::vector<std::int32_t>{2147483647});
  // A value cut short loses its last, cut-off number.
  EXPECT_EQ(ParseUidList("1,2,34", true), (std::vector<std::int32_t>{1, 2}));

  std::string hundred;
  for (int i = 1; i <= 100; ++i) hundred += (i > 1 ? "," : "") + std::to_string(i);
  const ReminderCommand many = ParseReminderCommand("/T=\"1\" /ID=\"" + hundred + "\"");
  EXPECT_EQ(many.uids.size(), kMaxReminderUids);
  EXPECT_EQ(many.uids.back(), 32);

  struct Fire {
    const char* line;
    platform::FileTime expected;
  };
  const Fire fires[] = {
      {"/T=\"133603398000000000\" /ID=\"1\"", 133603398000000000ULL},
      {"/T=junk /ID=1", 0},
      {"/T=-5 /ID=1", 0},
      {"/T=\"99999999999999999999999\"", 0x7FFFFFFFFFFFFFFFULL},
      {"/ID=1", 0},
  };
  for (const Fire& f : fires) EXPECT_EQ(ParseReminderCommand(f.line).fireTime, f.expected) << f.line;
}

TEST(SetupHelper, ActionsAndExitCodes) {
  struct Case {
    const char* line;
    SetupAction action;
    int code;
  };
  const Case cases[] = {
      {"/A=install", SetupAction::Install, 0},     {"/A=INSTALL", SetupAction::Install, 0},
      {"/A=\"install\"", SetupAction::Install, 0}, {"x /A=Uninstall", SetupAction::Uninstall, 0},
      {"/A=repair", SetupAction::Unknown, 2},      {"x/A=install", SetupAction::Missing, 3},
      {"/A=", SetupAction::Missing, 3},            {"", SetupAction::NoCommandLine, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSetupAction(c.line), c.action) << c.line;
    EXPECT_EQ(ExitCodeOf(ParseSetupAction(c.line)), c.code) << c.line;
  }
}
