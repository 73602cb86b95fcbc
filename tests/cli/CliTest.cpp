// Whole-process tests of the command line against a temporary program folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <thread>

#include "common/entries/ReminderChoice.h"
#include "common/settings/AppSettings.h"
#include "common/store/StorageMutexName.h"
#include "common/store/StorageSync.h"
#include "common/text/Version.h"
#include "platform/file/UniqueFd.h"
#include "platform/notify/ServiceLock.h"
#include "platform/sync/NamedEvent.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"
#include "tests/cli/CliFolder.h"
#include "tests/store/FileBytes.h"
#include "tests/text/ScopedLocaleEnv.h"

namespace {

using testsupport::ReadFileBytes;

class CliTest : public ::testing::Test {
 protected:
  void SaveSamples() {
    std::vector<std::unique_ptr<FeskItem>> entries;
    entries.push_back(MakeEntry(Birthday, "Anna", DaysAhead(3, 30), "Berg"));
    entries.push_back(MakeEntry(Birthday, "Jonas", DaysAhead(0, 41), "Keller"));
    entries.push_back(MakeEntry(Anniversary, "Wedding", DaysAhead(12, 10)));
    entries.push_back(MakeEntry(OtherDate, "Tax day", DaysAhead(20)));
    entries.push_back(MakeEntry(Birthday, "Far", DaysAhead(45, 20), "Away"));
    entries.back()->m_bEnabled = 0;
    folder.Save(std::move(entries));
  }
  CliFolder folder;
};

TEST_F(CliTest, BadUsageIsRefusedWithCodeTwoAndLeavesStorageAlone) {
  SaveSamples();
  const std::string before = ReadFileBytes(folder.StoragePath());
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{}, "No command"},
      {{"frobnicate"}, "Unknown command"},
      {{"list", "--days", "x"}, "not a number of days"},
      {{"list", "--days"}, "incomplete option"},
      {{"list", "--kind", "cat"}, "not one of"},
      {{"next", "--verbose"}, "Unknown"},
      {{"export"}, "--ics"},
      {{"export", "--ics", "--vdir", "cal"}, "--vdir"},
      {{"export", "--vdir"}, "incomplete option"},
      {{"export", "--vdir", "cal", "more"}, "\"more\""},
      {{"add", "birthday", "Bob", "2023-02-29"}, "not a date"},
      {{"add", "birthday", "Bob", "1600-01-01"}, "not a date"},
      {{"add", "birthday", "Bob", "1990-1-1"}, "not a date"},
      {{"add", "birthday", "Bob", "2999-01-01"}, "future"},
      {{"add", "birthday", "Bob", "--02-30"}, "not a date"},
      {{"add", "birthday", "Bob", "--13-01"}, "not a date"},
      {{"add", "birthday", "Bob", "--", "--00-10"}, "not a date"},
      {{"add", "other", "Trip", "--07-04"}, "need a year"},
      {{"add", "birthday", std::string(10'000, 'x'), "1990-01-01"}, "too long"},
      {{"add", "birthday", "Bo\x01" "b", "1990-01-01"}, "control characters"},
      {{"add", "birthday", "Bo\xC2\x85" "b", "1990-01-01"}, "control characters"},  // U+0085, a C1 control
      {{"add", "other", "   ", "2020-01-01"}, "name"},
      {{"add", "pet", "Rex", "2020-01-01"}, "not one of"},
      {{"import", "--rule", "0"}, "rule 1, 2 or 3"},
      {{"import", "--anniversary-rule", "4"}, "rule 1, 2 or 3"},
      {{"import", "--birthdays", "yes"}, "on or off"},
      {{"import", "--birthdays"}, "incomplete"},
      {{"import", "--", "Anna"}, "Unknown"},
      {{"status", "--verbose"}, "Unknown"},
      {{"snooze"}, "not an entry number"},
      {{"dismiss", "0"}, "not an entry number"},
      {{"snooze", "1", "2"}, "not an entry number"},
      {{"dismiss", "--now", "1"}, "Unknown"},
      {{"edit"}, "entry's number"},
      {{"edit", "x", "--note", "a"}, "not an entry number"},
      {{"delete", "--", "-1"}, "not an entry number"},
      {{"delete", "1", "--force"}, "Unknown"},
      {{"edit", "1"}, "at least one change"},
      {{"edit", "1", "--note"}, "incomplete option"},
      {{"edit", "1", "--lead", "10"}, "\"10\" is not a value for --lead"},
      {{"edit", "1", "--time=24:00"}, "\"24:00\" is not a value for --time"},
      {{"edit", "1", "--reminder", "maybe"}, "for --reminder"},
      {{"edit", "1", "--sound", "/no/such/file"}, "for --sound"},
      {{"edit", "1", "--date", "--02-30"}, "\"--02-30\" is not a date"},
      {{"edit", "1", "--date=2999-01-01"}, "future"},
      {{"edit", "1", "--first-name", "", "--last-name", " "}, "first name or a last name"},
      {{"edit", "3", "--first-name", "X"}, "--first-name does not fit"},
      {{"edit", "1", "--name", "X"}, "--name does not fit"},
      {{"config"}, "get [NAME]"},
      {{"config", "get", "reminder.dp"}, "Unknown setting"},
      {{"config", "set", "view.date-format", "6"}, "view.date-format takes a number from 0 to 5"},
      {{"config", "set", "reminder.time", "7:00"}, "HH:MM"},
      {{"config", "set", "export.calendar-folder", "relative"}, "absolute path"},
  };
  for (const auto& c : cases) {
    const CliRun run = folder.Run(c.args);
    EXPECT_EQ(run.code, 2) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFileBytes(folder.StoragePath()), before);
}

TEST_F(CliTest, HelpOfEachCommand) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"list", "--help"},
                                               {"next", "--help"}, {"export", "--help"}, {"add", "--help"},
                                               {"import", "--help"}, {"status", "--help"}, {"snooze", "--help"},
                                               {"dismiss", "--help"},
                                               {"edit", "--help"}, {"delete", "--help"}, {"config", "--help"}}) {
    const CliRun run = folder.Run(args);
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("Usage: natalo"), std::string::npos) << run.out;
  }
  // A data folder that cannot be used stops the commands, not their help.
  const std::string dataFolder = std::getenv("NATALO_DATA_DIR");
  const std::string blocker = folder.Folder() + "not-a-folder";
  testsupport::WriteFileBytes(blocker, "x");
  setenv("NATALO_DATA_DIR", blocker.c_str(), 1);
  const CliRun help = folder.Run({"--help"}), list = folder.Run({"list"});
  setenv("NATALO_DATA_DIR", dataFolder.c_str(), 1);
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(list.code, 3);
}

TEST_F(CliTest, VersionIsTheBuildsVersion) {
  const CliRun run = folder.Run({"--version"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "natalo " NATALO_VERSION "\n");
}

TEST_F(CliTest, DatesAreWrittenInTheUsersLocale) {
  ASSERT_EQ(folder.Run({"add", "birthday", "Ann", "Lee", "1985-02-28"}).code, 0);
  // German is built in; Swedish comes from the locale module, without which
  // it reads as the C locale.
  const struct {
    const char* lang;
    bool module;
    const char* date;
  } rows[] = {{"de_DE.UTF-8", true, "28. Februar 1985\t"},
              {"sv_SE.UTF-8", true, "28 februari 1985\t"},
              {"sv_SE.UTF-8", false, "28 February 1985\t"}};
  for (const auto& row : rows) {
    if (!row.module) std::filesystem::remove(folder.Folder() + "NataloLocale.so");
    const ScopedLocaleEnv locale(row.lang);
    const CliRun run = folder.Run({"list", "--days", "366"});
    EXPECT_EQ(run.out.rfind(row.date, 0), 0u) << row.lang << " " << row.module << ": " << run.out << run.err;
  }
}

TEST_F(CliTest, ListGivesComingDatesInOrderAsTextAndJson) {
  SaveSamples();
  const CliRun text = folder.Run({"list"});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(text.out.find("Jonas Keller"), text.out.find('\t') + 1) << "today's birthday comes first";
  EXPECT_NE(text.out.find("today"), std::string::npos);
  EXPECT_NE(text.out.find("Years: 41\t"), std::string::npos) << text.out;

  const CliRun json = folder.Run({"list", "--days", "30", "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  const CliRun checked = folder.Python(R"py(
import json, sys, datetime
rows = json.load(sys.stdin)
assert [r["name"] for r in rows] == ["Jonas Keller", "Anna Berg", "Wedding", "Tax day"], rows
assert [r["daysLeft"] for r in rows] == [0, 3, 12, 20], rows
today = datetime.date.today()
for r in rows:
    assert datetime.date.fromisoformat(r["next"]) - today == datetime.timedelta(days=r["daysLeft"]), r
assert rows[0]["years"] == 41 and rows[0]["kind"] == "birthday" and rows[0]["reminder"] == "on"
assert rows[2]["kind"] == "anniversary" and rows[3]["kind"] == "other"
)py",
                                      json.out);
  EXPECT_EQ(checked.code, 0) << checked.out << json.out;

  const struct {
    std::vector<std::string> args;
    int code;
    std::size_t lines;
  } filters[] = {
      {{"list", "--kind", "birthday"}, 0, 2},
      {{"list", "--days", "0"}, 0, 1},
      {{"list", "--days", "366", "--kind", "birthday"}, 0, 3},
      {{"list", "--kind", "other", "--days", "5"}, 1, 0},
  };
  for (const auto& f : filters) {
    const CliRun run = folder.Run(f.args);
    EXPECT_EQ(run.code, f.code);
    EXPECT_EQ(static_cast<std::size_t>(std::count(run.out.begin(), run.out.end(), '\n')), f.lines) << run.out;
  }

  // One day's rows go by the bytes of their names, also where the first
  // eight are alike, one name begins another, or a byte is not ASCII.
  std::vector<std::unique_ptr<FeskItem>> sameDay;
  for (const char* name : {"\xC3\x9C" "ber day", "Zebra day", "Reminder Party", "Reminder Part", "Reminder Parts",
                           "Reminder Party of the \"Wolf\" family, B", "Reminder Party of the \"Wolf\" family",
                           "Reminder Party of the \"Wolf\" family, A"}) {
    sameDay.push_back(MakeEntry(OtherDate, name, DaysAhead(7)));
  }
  folder.Save(std::move(sameDay));
  const CliRun byName = folder.Run({"list", "--days", "10"});
  std::vector<std::string> names;
  for (std::size_t line = 0; line < byName.out.size(); line = byName.out.find('\n', line) + 1) {
    const std::size_t tab = byName.out.find('\t', line);
    names.push_back(byName.out.substr(tab + 1, byName.out.find('\t', tab + 1) - tab - 1));
  }
  const std::vector<std::string> byteOrder = {"Reminder Part", "Reminder Parts", "Reminder Party",
                                               "Reminder Party of the \"Wolf\" family",
                                               "Reminder Party of the \"Wolf\" family, A",
                                               "Reminder Party of the \"Wolf\" family, B", "Zebra day", "\xC3\x9C" "ber day"};
  EXPECT_EQ(names, byteOrder) << byName.out;
  // The same order in JSON, where the quotes are escaped.
  const CliRun byNameJson = folder.Run({"list", "--days", "10", "--json"});
  std::string expectedNames;
  for (const std::string& name : byteOrder) expectedNames += name + "\n";
  const CliRun jsonNames = folder.Python(
      "import json, sys\nsys.stdout.buffer.write(''.join(r['name'] + '\\n' for r in json.load(sys.stdin)).encode())\n",
      byNameJson.out);
  EXPECT_EQ(jsonNames.out, expectedNames) << byNameJson.out;

  // One name made from different stored texts: its rows keep reading order.
  std::vector<std::unique_ptr<FeskItem>> sameName;
  sameName.push_back(MakeEntry(Birthday, "Ann", DaysAhead(7), "Lee"));
  sameName.push_back(MakeEntry(OtherDate, "Ann Lee", DaysAhead(7)));
  sameName.push_back(MakeEntry(Birthday, "Ann", DaysAhead(7), "Lee"));
  folder.Save(std::move(sameName));
  const CliRun kinds = folder.Run({"list", "--days", "10", "--json"});
  EXPECT_EQ(folder.Python(R"py(
import json, sys
rows = json.load(sys.stdin)
assert [(r["name"], r["kind"]) for r in rows] == [("Ann Lee", "birthday"), ("Ann Lee", "other"), ("Ann Lee", "birthday")], rows
)py", kinds.out).code, 0) << kinds.out;
}

TEST_F(CliTest, MissingEmptyLockedAndForeignStorage) {
  EXPECT_EQ(folder.Run({"list"}).code, 1) << "no storage.dat: nothing found";
  EXPECT_FALSE(std::filesystem::exists(folder.StoragePath()));
  EXPECT_EQ(folder.Run({"list", "--json"}).out, "[]\n");
  testsupport::WriteFileBytes(folder.StoragePath(), "");
  EXPECT_EQ(folder.Run({"list"}).code, 1);

  testsupport::WriteFileBytes(folder.StoragePath(), "not a storage file at all");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"next"}, {"export", "--ics"}}) {
    EXPECT_EQ(folder.Run(args).code, 3) << args[0];
  }
  const CliRun foreign = folder.Run({"list"});
  EXPECT_EQ(foreign.code, 3);
  EXPECT_NE(foreign.err.find("cannot be read"), std::string::npos);
  EXPECT_EQ(folder.Run({"add", "other", "X", "2020-01-01"}).code, 3);
  EXPECT_EQ(ReadFileBytes(folder.StoragePath()), "not a storage file at all");

  SaveSamples();
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(folder.StoragePath())));
  const platform::NamedMutexLock held(*mutex, 1000);
  ASSERT_TRUE(held.Acquired());
  for (const std::vector<std::string>& args : {std::vector<std::string>{"list"}, {"export", "--ics"},
                                               {"add", "other", "X", "2020-01-01"}, {"import"}, {"status"}}) {
    const CliRun run = folder.Run(args);
    EXPECT_EQ(run.code, 3) << args[0];
    EXPECT_NE(run.err.find("locked"), std::string::npos) << run.err;
  }
}

TEST_F(CliTest, ClosedStandardOutputIsAFailure) {
  SaveSamples();
  const CliRun run = folder.Run({"list"}, ">&-");
  EXPECT_EQ(run.code, 3);
  EXPECT_NE(run.err.find("could not be written"), std::string::npos) << run.err;
}

TEST_F(CliTest, ExportedCalendarReadsBackWithDatesRecurrenceAndAlarms) {
  std::vector<std::unique_ptr<FeskItem>> entries;
  entries.push_back(MakeEntry(Birthday, "Leap", {2000, 2, 29}, "Year"));
  auto noted = MakeEntry(Anniversary, std::string(60, 'W') + " \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", {2010, 6, 19});
  noted->SetNote(u"Line one\nsemi; comma, back\\slash");
  entries.push_back(std::move(noted));
  entries.push_back(MakeEntry(OtherDate, "Quiet", {2015, 12, 31}));
  entries.back()->m_bEnabled = 0;
  // Dates without a year.
  entries.push_back(MakeEntry(Birthday, "Nobody", {kYearUnknown, 7, 4}, "Knows"));
  entries.push_back(MakeEntry(Anniversary, "Leapless", {kYearUnknown, 2, 29}));
  folder.Save(std::move(entries));

  const std::string path = folder.Folder() + "dates.ics";
  ASSERT_EQ(folder.Run({"export", "--ics", path}).code, 0);
  const std::string first = ReadFileBytes(path);
  const CliRun again = folder.Run({"export", "--ics", "-"});
  ASSERT_EQ(again.code, 0);
  const CliRun checked = folder.Python(R"py(
import sys, datetime, vobject
raw = sys.stdin.buffer.read()
lines = raw.split(b"\r\n")
assert lines[-1] == b"" and b"\n" not in b"".join(lines), "CRLF only"
assert all(len(l) <= 75 for l in lines), "folded"
assert any(l.startswith(b" ") for l in lines), "a long line is folded"
cal = vobject.readOne(raw.decode("utf-8"))
events = {e.summary.value: e for e in cal.vevent_list}
leap = events["Leap Year (2000)"]
assert leap.dtstart.value == datetime.date(2000, 2, 29)
rule = leap.getrruleset()
assert rule.after(datetime.datetime(2027, 1, 1)) == datetime.datetime(2027, 2, 28)
assert rule.after(datetime.datetime(2028, 1, 1)) == datetime.datetime(2028, 2, 29)
assert leap.valarm.trigger.value == datetime.timedelta(days=-2, hours=12)
wedding = [e for s, e in events.items() if s.startswith("WWW")][0]
assert wedding.summary.value.endswith("\u05e9\u05dc\u05d5\u05dd (2010)"), wedding.summary.value
assert wedding.description.value == "Line one\nsemi; comma, back\\slash"
assert wedding.getrruleset().after(datetime.datetime(2030, 1, 1)) == datetime.datetime(2030, 6, 19)
quiet = events["Quiet"]
assert not hasattr(quiet, "valarm")
# Without a year: from this year on, no year in the title, the alarm as for any date.
import calendar
year = datetime.date.today().year
nobody = events["Nobody Knows"]
assert nobody.dtstart.value == datetime.date(year, 7, 4), nobody.dtstart.value
assert nobody.getrruleset().after(datetime.datetime(year + 1, 1, 1)) == datetime.datetime(year + 1, 7, 4)
assert nobody.valarm.trigger.value == datetime.timedelta(days=-2, hours=12)
leapless = events["Leapless"].getrruleset()
common = next(y for y in range(year + 1, year + 5) if not calendar.isleap(y))
leap = next(y for y in range(year + 1, year + 9) if calendar.isleap(y))
assert leapless.after(datetime.datetime(year - 1, 12, 31)) == datetime.datetime(year, 2, 29 if calendar.isleap(year) else 28)
assert leapless.before(datetime.datetime(year, 2, 28)) is None, "starts in this year"
assert leapless.after(datetime.datetime(common, 1, 1)) == datetime.datetime(common, 2, 28)
assert leapless.after(datetime.datetime(leap, 1, 1)) == datetime.datetime(leap, 2, 29)
uids = sorted(e.uid.value for e in cal.vevent_list)
assert len(set(uids)) == 5
# One storage's identifier in every UID, so that another user's entry 1 is another event.
import re
ids = {re.fullmatch(r"entry-\d+-([0-9a-f]{32})@natalo", u).group(1) for u in uids}
assert len(ids) == 1, uids
print(" ".join(uids))
)py",
                                      again.out);
  ASSERT_EQ(checked.code, 0) << checked.out << again.out;
  // A second export names the same events, so a calendar updates them.
  const auto withoutStamps = [](std::string text) {
    for (std::size_t at = text.find("DTSTAMP:"); at != std::string::npos; at = text.find("DTSTAMP:", at + 1)) {
      text.erase(at, text.find("\r\n", at) - at);
    }
    return text;
  };
  EXPECT_EQ(withoutStamps(first), withoutStamps(again.out));
  // Another storage with the same entries names other events.
  ASSERT_TRUE(std::filesystem::remove(folder.StoragePath() + ".id"));
  const CliRun other = folder.Run({"export", "--ics", "-"});
  ASSERT_EQ(other.code, 0);
  for (std::size_t at = first.find("UID:"); at != std::string::npos; at = first.find("UID:", at + 1)) {
    EXPECT_EQ(other.out.find(first.substr(at, first.find("\r\n", at) - at)), std::string::npos);
  }

  const CliRun unwritable = folder.Run({"export", "--ics", folder.Folder() + "missing/dates.ics"});
  EXPECT_EQ(unwritable.code, 3);
  EXPECT_NE(unwritable.err.find("could not be written"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder.Folder() + "missing"));
}

TEST_F(CliTest, ExportWritesThroughAPipeAndRefusesOtherSpecialFiles) {
  SaveSamples();
  const std::string pipe = folder.Folder() + "pipe";
  const std::string socketPath = folder.Folder() + "socket";
  const std::string folderPath = folder.Folder() + "folder";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const platform::UniqueFd listening(socket(AF_UNIX, SOCK_STREAM, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(bind(listening.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  std::filesystem::create_directory(folderPath);
  // Opened for reading and writing, the pipe lets the export open it at once.
  const platform::UniqueFd reader(open(pipe.c_str(), O_RDWR | O_NONBLOCK));
  ASSERT_TRUE(reader.IsOpen());
  const struct {
    std::string target;
    int code;
    const char* message;
    mode_t type;
  } cases[] = {
      {pipe, 0, "", S_IFIFO},
      {socketPath, 3, "neither a file nor a pipe", S_IFSOCK},
      {folderPath, 3, "neither a file nor a pipe", S_IFDIR},
  };
  for (const auto& c : cases) {
    const CliRun run = folder.Run({"export", "--ics", c.target});
    EXPECT_EQ(run.code, c.code) << c.target;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    struct stat info {};
    ASSERT_EQ(stat(c.target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & S_IFMT, c.type) << c.target << " is still what it was";
  }
  std::string received(64 * 1024, '\0');
  const ssize_t got = read(reader.Get(), received.data(), received.size());
  received.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  EXPECT_TRUE(received.starts_with("BEGIN:VCALENDAR\r\n") && received.ends_with("END:VCALENDAR\r\n")) << received;
}

// A folder of one calendar file per entry: a second export rewrites nothing,
// a change rewrites its file alone, a gone entry's file goes, and files that
// are not this storage's events stay.
TEST_F(CliTest, CalendarFolderRewritesOnlyWhatChanged) {
  SaveSamples();
  const std::string calendars = folder.Folder() + "calendars";
  const std::string dir = calendars + "/natalo";
  std::filesystem::create_directory(calendars);
  const CliRun first = folder.Run({"export", "--vdir", dir});
  ASSERT_EQ(first.code, 0) << first.err;
  EXPECT_EQ(first.out, "Calendar files written: 5, unchanged: 0, removed: 0.\n");
  EXPECT_EQ(std::filesystem::status(dir).permissions(), std::filesystem::perms::owner_all);
  // Each file is the calendar of the event --ics gives that entry.
  const std::string whole = folder.Run({"export", "--ics"}).out;
  std::map<std::string, std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(dir)) {
    const std::string name = item.path().filename().string();
    files[name] = ReadFileBytes(item.path());
    const std::string uid = "UID:" + name.substr(0, name.size() - 4) + "\r\n";
    EXPECT_NE(whole.find(uid), std::string::npos) << name;
    EXPECT_EQ(files[name].find(uid), files[name].find("BEGIN:VEVENT\r\n") + 14) << files[name];
    EXPECT_TRUE(files[name].ends_with("END:VEVENT\r\nEND:VCALENDAR\r\n"));
  }
  ASSERT_EQ(files.size(), 5u);
  const std::string otherStorage = "entry-1-" + std::string(32, '0') + "@natalo.ics";
  for (const std::string& foreign : {std::string("notes.txt"), std::string("event.ics"), otherStorage}) {
    testsupport::WriteFileBytes(dir + "/" + foreign, "foreign");
  }
  const auto stamps = [&] {
    std::map<std::string, std::pair<ino_t, std::int64_t>> out;
    for (const auto& [name, bytes] : files) {
      struct stat info {};
      if (stat((dir + "/" + name).c_str(), &info) == 0) {
        out[name] = {info.st_ino, info.st_mtim.tv_sec * 1'000'000'000ll + info.st_mtim.tv_nsec};
      }
    }
    return out;
  };
  // Files stamped long ago: only their content counts, not when it was made.
  for (auto& [name, bytes] : files) {
    const std::size_t at = bytes.find("DTSTAMP:") + 8;
    bytes.replace(at, 16, "20000101T000000Z");
    testsupport::WriteFileBytes(dir + "/" + name, bytes);
  }
  const auto before = stamps();
  const CliRun second = folder.Run({"export", "--vdir", dir});
  EXPECT_EQ(second.out, "Calendar files written: 0, unchanged: 5, removed: 0.\n");
  EXPECT_EQ(stamps(), before);

  // The same entries, the first with a note and the last gone.
  std::vector<std::unique_ptr<FeskItem>> entries;
  entries.push_back(MakeEntry(Birthday, "Anna", DaysAhead(3, 30), "Berg"));
  entries.back()->SetNote(u"cake");
  entries.push_back(MakeEntry(Birthday, "Jonas", DaysAhead(0, 41), "Keller"));
  entries.push_back(MakeEntry(Anniversary, "Wedding", DaysAhead(12, 10)));
  entries.push_back(MakeEntry(OtherDate, "Tax day", DaysAhead(20)));
  folder.Save(std::move(entries));
  const CliRun third = folder.Run({"export", "--vdir", dir + "/"});
  EXPECT_EQ(third.out, "Calendar files written: 1, unchanged: 3, removed: 1.\n");
  const auto after = stamps();
  ASSERT_EQ(after.size(), 4u);
  int rewritten = 0;
  for (const auto& [name, stamp] : after) {
    if (stamp == before.at(name)) continue;
    ++rewritten;
    EXPECT_NE(ReadFileBytes(dir + "/" + name).find("DESCRIPTION:cake"), std::string::npos);
  }
  EXPECT_EQ(rewritten, 1);
  for (const std::string& foreign : {std::string("notes.txt"), std::string("event.ics"), otherStorage}) {
    EXPECT_EQ(ReadFileBytes(dir + "/" + foreign), "foreign") << foreign;
  }

  // A target that is no folder is refused and stays as it was.
  const std::string file = folder.Folder() + "plain";
  const std::string link = folder.Folder() + "link";
  testsupport::WriteFileBytes(file, "x");
  std::filesystem::create_directory_symlink(dir, link);
  for (const std::string& target : {file, link, folder.Folder() + "missing/natalo"}) {
    const CliRun refused = folder.Run({"export", "--vdir", target});
    EXPECT_EQ(refused.code, 3) << target;
    EXPECT_NE(refused.err.find(target), std::string::npos) << refused.err;
  }
  EXPECT_EQ(ReadFileBytes(file), "x");
  EXPECT_FALSE(std::filesystem::exists(folder.Folder() + "missing"));
}

// The kept calendar folder follows every change the command line saves; a
// folder that cannot be written leaves the change saved.
TEST_F(CliTest, KeptCalendarFolderFollowsEachSave) {
  SaveSamples();
  const std::string kept = folder.Folder() + "kept";
  ASSERT_TRUE(WriteRegistryStringRetry(SettingPath(u"Export\\CalendarFolder"), platform::FromUtf8(kept)));
  const CliRun added = folder.Run({"add", "other", "Dentist", "2020-05-06"});
  ASSERT_EQ(added.code, 0) << added.err;
  EXPECT_EQ(added.err, "");
  std::size_t count = 0;
  std::string all;
  for (const auto& item : std::filesystem::directory_iterator(kept)) {
    ++count;
    all += ReadFileBytes(item.path());
  }
  EXPECT_EQ(count, 6u);
  EXPECT_NE(all.find("SUMMARY:Dentist\r\n"), std::string::npos);

  const std::string blocker = folder.Folder() + "blocker";
  testsupport::WriteFileBytes(blocker, "x");
  ASSERT_TRUE(WriteRegistryStringRetry(SettingPath(u"Export\\CalendarFolder"), platform::FromUtf8(blocker)));
  const CliRun blocked = folder.Run({"add", "other", "Barber", "2020-05-07"});
  EXPECT_EQ(blocked.code, 0);
  EXPECT_NE(blocked.err.find("not a folder"), std::string::npos) << blocked.err;
  EXPECT_NE(folder.Run({"list", "--kind", "other", "--days", "366"}).out.find("Barber"), std::string::npos);
}

// A file whose records could not all be read: list and next say so; export
// writes no calendar that lacks them unless forced.
TEST_F(CliTest, DamagedStorageIsReportedAndGivesNoCalendarUnlessForced) {
  // A calendar of many pieces, whose damage lies at the end of a file read
  // in more pieces than are in hand at a time.
  constexpr int kMany = 30000;
  std::vector<std::unique_ptr<FeskItem>> many;
  for (int i = 0; i < kMany; ++i) many.push_back(MakeEntry(Birthday, "Many", DaysAhead(i % 300 + 1, 30), "People"));
  folder.Save(std::move(many));
  const std::string large = ReadFileBytes(folder.StoragePath());
  std::vector<std::unique_ptr<FeskItem>> entries;
  entries.push_back(MakeEntry(Birthday, "Anna", DaysAhead(3, 30), "Berg"));
  entries.push_back(MakeEntry(Birthday, "Jonas", DaysAhead(4, 41), "Keller"));
  folder.Save(std::move(entries));
  const std::string whole = ReadFileBytes(folder.StoragePath());
  const std::string dir = folder.Folder() + "calendar";
  ASSERT_EQ(folder.Run({"export", "--vdir", dir}).code, 0);
  const struct {
    const char* what;
    std::string bytes;
    int code;  // of list and next
    int forcedEvents;
  } cases[] = {
      {"last record cut short", whole.substr(0, whole.size() - 7), 0, 1},
      {"header, then junk", whole.substr(0, 8) + std::string(4096, 'x'), 1, 0},
      {"large, last record cut short", large.substr(0, large.size() - 7), 0, kMany - 1},
      // The last text of the last record loses its end: the record is read.
      {"last text without its end", whole.substr(0, whole.size() - 2) + std::string("y\0", 2), 0, 2},
      {"large, last text without its end", large.substr(0, large.size() - 2) + std::string("y\0", 2), 0, kMany},
  };
  const std::string calendar = folder.Folder() + "dates.ics";
  for (const auto& c : cases) {
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.StoragePath(), c.bytes));
    for (const std::vector<std::string>& args : {std::vector<std::string>{"list"}, {"next"}}) {
      const CliRun run = folder.Run(args);
      EXPECT_EQ(run.code, c.code) << c.what << args[0];
      EXPECT_NE(run.err.find("damaged: 1 record"), std::string::npos) << c.what << run.err;
    }
    for (const std::string& target : {calendar, std::string("-")}) {
      const CliRun refused = folder.Run({"export", "--ics", target});
      EXPECT_EQ(refused.code, 3) << c.what;
      EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
      EXPECT_TRUE(refused.out.empty()) << c.what << ": " << refused.out.size() << " bytes";
      EXPECT_FALSE(std::filesystem::exists(calendar));
    }
    // Nor does a calendar folder lose the events of the records not read.
    const CliRun folderRefused = folder.Run({"export", "--vdir", dir});
    EXPECT_EQ(folderRefused.code, 3) << c.what;
    EXPECT_NE(folderRefused.err.find("--force"), std::string::npos) << folderRefused.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2) << c.what;
    const CliRun forced = folder.Run({"export", "--ics", "--force"});
    EXPECT_EQ(forced.code, 0) << c.what;
    EXPECT_NE(forced.err.find("damaged"), std::string::npos);
    // The events in the file's order, across the batches threads write.
    std::size_t events = 0;
    bool ordered = true;
    for (std::size_t at = forced.out.find("UID:entry-"); at != std::string::npos; at = forced.out.find("UID:entry-", at + 1)) {
      ordered = ordered && std::atoi(forced.out.c_str() + at + 10) == static_cast<int>(++events);
    }
    EXPECT_EQ(events, static_cast<std::size_t>(c.forcedEvents)) << c.what;
    EXPECT_TRUE(ordered) << c.what;
    EXPECT_EQ(ReadFileBytes(folder.StoragePath()), c.bytes);
  }
}

TEST_F(CliTest, AddSavesChecksDuplicatesArmsTheReminderAndTellsTheApplication) {
  SaveSamples();
  const CliRun added =
      folder.Run({"add", "birthday", "Ada", "King", "Lovelace", "1815-12-10", "--note", "Send a card"});
  ASSERT_EQ(added.code, 0) << added.err;
  EXPECT_NE(added.out.find("Ada King Lovelace"), std::string::npos);
  EXPECT_FALSE(std::filesystem::is_empty(folder.NotifyFolder())) << "the reminders were armed";

  FeskList list(folder.StoragePath());
  ASSERT_TRUE(list.Load());
  ASSERT_EQ(list.Count(), 6u);
  const FeskItem* ada = AsEntry(&*std::next(list.begin(), 5));
  EXPECT_EQ(ada->FirstName(), u"Ada King");
  EXPECT_EQ(ada->LastName(), u"Lovelace");
  EXPECT_EQ(ada->Note(), u"Send a card");
  EXPECT_EQ(DateOfFileTime(ada->m_ftDate), (CalendarDate{1815, 12, 10}));
  EXPECT_EQ(ada->m_bEnabled, 1u);

  const std::string before = ReadFileBytes(folder.StoragePath());
  const CliRun duplicate = folder.Run({"add", "birthday", "anna", "BERG", "1999-01-01"});
  EXPECT_EQ(duplicate.code, 1);
  EXPECT_NE(duplicate.err.find("Anna Berg"), std::string::npos) << duplicate.err;

  const auto app = platform::NamedMutex::Create(u"Natalo_Instance_Mutex");
  {
    // An application that holds its instance rule but does not listen yet
    // may have read the file already: the command waits, then gives up.
    const CliRun starting = folder.Run({"add", "other", "Party", "2030-05-01", "--no-reminder"});
    EXPECT_EQ(starting.code, 3);
    EXPECT_NE(starting.err.find("close it first"), std::string::npos) << starting.err;
  }
  EXPECT_EQ(ReadFileBytes(folder.StoragePath()), before);

  // A listening application is told of the new entry while the file is still
  // held, and the command waits for its answer.
  const auto changed = platform::NamedEvent::Create(kStorageChangedEvent);
  StorageNotice notice;
  bool heldWhileTold = false;
  std::thread listener([&] {
    if (changed->Wait(10'000) != platform::WaitResult::Acquired) return;
    ReadStorageNotice(folder.Folder() + kSyncFileName, notice);
    const auto storage = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(folder.StoragePath())));
    heldWhileTold = storage->Wait(0) == platform::WaitResult::TimedOut;
    if (auto reply = platform::NamedEvent::Open(kNotifyContinueEvent)) reply->Set();
  });
  const CliRun running = folder.Run({"add", "other", "Party", "2030-05-01", "--no-reminder"});
  listener.join();
  ASSERT_EQ(running.code, 0) << running.err;
  ASSERT_TRUE(list.Load());
  const FeskItem* party = AsEntry(&*std::next(list.begin(), 6));
  EXPECT_EQ(party->m_bEnabled, 0u);
  EXPECT_EQ(notice.uid, party->m_nUID);
  EXPECT_EQ(notice.change, StorageChange::EntryAdded);
  EXPECT_TRUE(heldWhileTold);

  // An application that never answers (stopped) holds the command up for a
  // moment, not for the whole lock time; its next save keeps the entry.
  setenv("NATALO_LOCK_TIMEOUT_MS", "10000", 1);
  const auto start = std::chrono::steady_clock::now();
  const CliRun silent = folder.Run({"add", "other", "Trip", "2031-05-01", "--no-reminder"});
  const auto took = std::chrono::steady_clock::now() - start;
  setenv("NATALO_LOCK_TIMEOUT_MS", "300", 1);
  EXPECT_EQ(silent.code, 0) << silent.err;
  EXPECT_LT(took, std::chrono::seconds(6));
  ASSERT_TRUE(list.Load());
  EXPECT_EQ(list.Count(), 8u);
}

// A date given without a year is kept without one, and list and next give
// it without a year and without an age.
TEST_F(CliTest, YearlessDatesAreAddedAndListedWithoutYearOrAge) {
  const struct {
    std::vector<std::string> args;
    CalendarDate stored;
  } adds[] = {
      {{"add", "birthday", "Ann", "Lee", "--07-04"}, {1604, 7, 4}},
      {{"add", "--note", "leap", "anniversary", "Wedding", "--", "--02-29"}, {1604, 2, 29}},
      {{"add", "birthday", "Dated", "One", "1990-07-04"}, {1990, 7, 4}},
  };
  for (const auto& a : adds) {
    const CliRun run = folder.Run(a.args);
    ASSERT_EQ(run.code, 0) << a.args[2] << run.err;
  }
  FeskList list(folder.StoragePath());
  ASSERT_TRUE(list.Load());
  ASSERT_EQ(list.Count(), std::size(adds));
  for (std::size_t i = 0; i < std::size(adds); ++i) {
    EXPECT_EQ(DateOfFileTime(AsEntry(&*std::next(list.begin(), static_cast<std::ptrdiff_t>(i)))->m_ftDate),
              adds[i].stored);
  }

  const CliRun text = folder.Run({"list", "--days", "366"});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(text.out.find("Ann Lee\t\t"), text.out.find("Ann Lee")) << "no age: " << text.out;
  EXPECT_EQ(text.out.find("Dated One\t\t"), std::string::npos) << text.out;
  const CliRun json = folder.Run({"list", "--days", "366", "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  const CliRun next = folder.Run({"next", "--json"});
  ASSERT_EQ(next.code, 0) << next.err;
  const CliRun checked = folder.Python(R"py(
import json, sys, datetime
listed, next = [json.loads(part) for part in sys.stdin.read().split("\f")]
rows = {r["name"]: r for r in listed}
assert rows["Ann Lee"]["date"] == "--07-04" and rows["Ann Lee"]["years"] is None, rows
assert rows["Ann Lee"]["ageText"] == "", rows
assert rows["Dated One"]["date"] == "1990-07-04" and rows["Dated One"]["years"] > 30, rows
wedding = rows["Wedding"]
assert wedding["date"] == "--02-29" and wedding["years"] is None, wedding
occurs = datetime.date.fromisoformat(wedding["next"])
assert (occurs.month, occurs.day) in ((2, 28), (2, 29)), wedding
for entry in next["entries"]:
    assert entry["years"] is None or entry["name"] == "Dated One", next
)py",
                                       json.out + "\f" + next.out);
  EXPECT_EQ(checked.code, 0) << checked.out << json.out << next.out;
}

// Runs in order against the samples (UIDs 1 Anna, 2 Jonas, 3 Wedding, 4 Tax
// day, 5 Far Away); each row's exit code, then the stored entry it names.
TEST_F(CliTest, EditAndDeleteChangeTheStoredEntryWithTheEditorsChecks) {
  SaveSamples();
  const struct {
    std::vector<std::string> args;
    int code;
    std::int32_t uid;
    const char16_t* name;  // expected afterwards; nullptr: the entry is gone
  } runs[] = {
      {{"edit", "1", "--first-name=Anne", "--note", "Card", "--lead", "3", "--time", "09:30"}, 0, 1, u"Anne"},
      {{"edit", "2", "--first-name", "anne", "--last-name", "BERG"}, 1, 2, u"Jonas"},
      {{"edit", "9", "--note", "x"}, 1, 9, nullptr},
      {{"edit", "3", "--date", "--07-04", "--reminder", "off"}, 0, 3, u"Wedding"},
      {{"delete", "5"}, 0, 5, nullptr},
      {{"delete", "5"}, 1, 5, nullptr},
      {{"add", "other", "--note=a=b", "--", "--k=v", "2020-01-01"}, 0, 6, u"--k=v"},
  };
  FeskList list(folder.StoragePath());
  for (const auto& r : runs) {
    const CliRun run = folder.Run(r.args);
    EXPECT_EQ(run.code, r.code) << r.args[0] << " " << r.args[1] << ": " << run.err;
    ASSERT_TRUE(list.Load());
    const FeskItem* entry = AsEntry(list.FindByUID(r.uid));
    ASSERT_EQ(entry != nullptr, r.name != nullptr) << r.args[1];
    if (entry) {
      EXPECT_EQ(entry->GetDisplayName().find(r.name), 0u) << r.args[1];
    }
  }
  const FeskItem* anne = AsEntry(list.FindByUID(1));
  EXPECT_EQ(anne->Note(), u"Card");
  EXPECT_EQ(anne->m_bOwnReminder, 1u);
  EXPECT_EQ(ReminderDays(anne->m_ftDate, anne->m_ftStart), 3);
  platform::SystemTime at;
  ASSERT_TRUE(platform::FileTimeToSystemTime(anne->m_ftStart, at));
  EXPECT_EQ(at.wHour * 60 + at.wMinute, 9 * 60 + 30);
  const FeskItem* wedding = AsEntry(list.FindByUID(3));
  EXPECT_EQ(DateOfFileTime(wedding->m_ftDate), (CalendarDate{kYearUnknown, 7, 4}));
  EXPECT_EQ(wedding->m_bEnabled, 0u);
  EXPECT_EQ(AsEntry(list.FindByUID(6))->Note(), u"a=b");

  // An application that does not answer would save its own copy over an edit
  // or a deletion: the file is put back and the command fails.
  const std::string before = ReadFileBytes(folder.StoragePath());
  const auto changed = platform::NamedEvent::Create(kStorageChangedEvent);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"edit", "2", "--note", "x"}, {"delete", "2"}}) {
    const CliRun silent = folder.Run(args);
    EXPECT_EQ(silent.code, 3) << args[0];
    EXPECT_EQ(ReadFileBytes(folder.StoragePath()), before) << args[0];
  }
}

TEST_F(CliTest, ConfigSetsWhatGetReadsAndMovesTheDefaultReminders) {
  SaveSamples();
  ASSERT_EQ(folder.Run({"config", "set", "view.date-format", "2"}).code, 0);
  ASSERT_EQ(folder.Run({"config", "set", "export.calendar-folder", "/srv/calendar"}).code, 0);
  ASSERT_EQ(folder.Run({"config", "set", "reminder.lead", "0"}).code, 0);
  EXPECT_EQ(folder.Run({"config", "get", "view.date-format"}).out, "2\n");
  const CliRun all = folder.Run({"config", "get"});
  EXPECT_EQ(all.code, 0);
  EXPECT_NE(all.out.find("export.calendar-folder\t/srv/calendar\n"), std::string::npos) << all.out;
  EXPECT_NE(all.out.find("reminder.lead\t0\n"), std::string::npos) << all.out;
  // The entries that follow the default now remind on their day.
  FeskList list(folder.StoragePath());
  ASSERT_TRUE(list.Load());
  for (const StorageItem& item : list) EXPECT_EQ(ReminderDays(AsEntry(&item)->m_ftDate, item.m_ftStart), 0);
}

// The bash completion offers the commands and exactly the settings that
// `natalo config get` lists.
TEST_F(CliTest, BashCompletionOffersTheCommandsAndTheSettings) {
  const CliRun all = folder.Run({"config", "get"});
  ASSERT_EQ(all.code, 0);
  std::string names;
  for (std::size_t at = 0; at < all.out.size(); at = all.out.find('\n', at) + 1) {
    names += (names.empty() ? "" : " ") + all.out.substr(at, all.out.find('\t', at) - at);
  }
  const auto complete = [](const std::string& words) {
    const std::string command = "bash -c 'source " NATALO_COMPLETION_DIR "/natalo.bash; COMP_WORDS=(" + words +
                                "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _natalo; echo \"${COMPREPLY[*]}\"'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    if (pipe != nullptr) pclose(pipe);
    return out;
  };
  EXPECT_EQ(complete("natalo ed"), "edit\n");
  EXPECT_EQ(complete("natalo edit 1 --reminder o"), "on off\n");
  EXPECT_EQ(complete("natalo config get \"\""), names + "\n");
}

// `$(natalo add ...)` ends with the command although the notification service
// it started runs on: the service keeps none of its streams.
TEST_F(CliTest, AddUnderACapturedPipeEndsWhileTheServiceItStartedRuns) {
  SaveSamples();
  setenv("NATALO_NOTIFYD", NOTIFYD_PATH, 1);
  const auto start = std::chrono::steady_clock::now();
  FILE* pipe = popen(("'" + folder.Folder() + "NataloCli' add birthday Bob Marsh 1990-01-01 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  bool ended = false;
  pollfd readable{fileno(pipe), POLLIN, 0};
  while (!ended && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
    char buffer[256];
    if (poll(&readable, 1, 50) <= 0) continue;
    const ssize_t got = read(readable.fd, buffer, sizeof buffer);
    ended = got <= 0;
    if (got > 0) out.append(buffer, static_cast<std::size_t>(got));
  }
  const auto took = std::chrono::steady_clock::now() - start;
  pid_t service = 0;
  const bool serviceRuns = platform::ServiceLock::IsTaken(&service);
  if (serviceRuns && service > 0) kill(service, SIGTERM);
  const int status = pclose(pipe);
  EXPECT_TRUE(serviceRuns) << "the command started the service";
  EXPECT_TRUE(ended);
  EXPECT_LT(took, std::chrono::seconds(1));
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << out;
  EXPECT_NE(out.find("Bob Marsh"), std::string::npos) << out;
}

// A file of the first revision: list, next and export read it as it is; add
// upgrades it and keeps the file as it was beside it.
TEST_F(CliTest, OldRevisionIsReadAsItIsAndUpgradedOnlyByAdd) {
  storetest::FileBytes file;
  file.Header(0xCE09, 0x0103, 1);
  platform::FileTime date = 0;
  ASSERT_TRUE(MidnightOf(DaysAhead(2, 30), date));
  storetest::FileBytes strings;
  for (const char16_t* text : {u"Old", u"Friend", u"From the first version"}) {
    for (const char16_t* c = text; *c != 0; ++c) strings.U16(*c);
    strings.U16(0);
  }
  file.Record(32, date, 7).U16(static_cast<std::uint16_t>(10 + strings.Size())).U16(Birthday).U64(date);
  file.Raw(strings.Str()).U32(0);
  ASSERT_TRUE(testsupport::WriteFileBytes(folder.StoragePath(), file.Str()));

  const CliRun listed = folder.Run({"list", "--json"});
  ASSERT_EQ(listed.code, 0) << listed.err;
  EXPECT_NE(listed.out.find(R"("uid":7,"kind":"birthday","name":"Old Friend")"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("From the first version"), std::string::npos);
  const CliRun exported = folder.Run({"export", "--ics", "-"});
  ASSERT_EQ(exported.code, 0) << exported.err;
  EXPECT_NE(exported.out.find("UID:entry-7-"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(folder.StoragePath()), file.Str());

  ASSERT_EQ(folder.Run({"add", "other", "Party", "2030-05-01"}).code, 0);
  FeskList list(folder.StoragePath());
  ASSERT_TRUE(list.Load());
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(AsEntry(list.FindByUID(7))->Note(), u"From the first version");
  std::vector<std::string> kept;
  for (const auto& found : std::filesystem::directory_iterator(folder.Folder())) {
    if (found.path().filename().string().starts_with("storage.dat.rev1")) kept.push_back(ReadFileBytes(found.path()));
  }
  EXPECT_EQ(kept, std::vector<std::string>{file.Str()});
}

TEST_F(CliTest, NextNamesTheEarliestReminderAndItsEntries) {
  // A zone without daylight saving, half an hour off the full hours.
  setenv("TZ", "XST-5:30", 1);
  tzset();
  EXPECT_EQ(folder.Run({"next"}).code, 1);
  std::vector<std::unique_ptr<FeskItem>> entries;
  entries.push_back(MakeEntry(Birthday, "Soon", DaysAhead(5, 30), "One"));
  entries.push_back(MakeEntry(OtherDate, "Same day", DaysAhead(5)));
  entries.push_back(MakeEntry(Birthday, "Later", DaysAhead(9, 30), "Two"));
  folder.Save(std::move(entries));
  const CliRun run = folder.Run({"next", "--json"});
  ASSERT_EQ(run.code, 0) << run.err;
  const CalendarDate remind = DaysAhead(3);
  char moment[40];
  std::snprintf(moment, sizeof moment, "%04d-%02d-%02dT12:00:00+05:30", remind.year, remind.month, remind.day);
  const CliRun checked = folder.Python(std::string(R"py(
import json, sys
next = json.load(sys.stdin)
assert next["moment"] == ")py") + moment + R"py(", next
assert sorted(e["name"] for e in next["entries"]) == ["Same day", "Soon One"], next
)py",
                                      run.out);
  EXPECT_EQ(checked.code, 0) << checked.out << run.out;
  EXPECT_NE(folder.Run({"next"}).out.find("Next reminder:"), std::string::npos);

  // Tomorrow's birthday was reminded of yesterday: the next reminder leads
  // up to next year's, and its row tells of that one.
  entries.clear();
  entries.push_back(MakeEntry(Birthday, "Eve", DaysAhead(1, 30), "Late"));
  folder.Save(std::move(entries));
  const CliRun late = folder.Run({"next", "--json"});
  ASSERT_EQ(late.code, 0) << late.err;
  const CliRun lateChecked = folder.Python(R"py(
import json, sys, datetime
next = json.load(sys.stdin)
moment = datetime.datetime.fromisoformat(next["moment"])
entry = next["entries"][0]
occurs = datetime.date.fromisoformat(entry["next"])
assert occurs - moment.date() == datetime.timedelta(days=2), next
assert datetime.date.today() + datetime.timedelta(days=entry["daysLeft"]) == occurs, next
assert entry["years"] == 31 and entry["daysLeft"] > 300, next
)py",
                                            late.out);
  EXPECT_EQ(lateChecked.code, 0) << lateChecked.out << late.out;
  unsetenv("TZ");
  tzset();
}

TEST_F(CliTest, ImportTakesContactsBySettingsAndRulesAndReports) {
  const std::filesystem::path contacts = std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Natalo" / "contacts";
  std::filesystem::create_directories(contacts);
  const auto card = [&contacts](const char* file, const char* name, const char* birthday) {
    testsupport::WriteFileBytes(contacts / file, std::string("BEGIN:VCARD\r\nVERSION:3.0\r\nN:") + name +
                                                     "\r\nBDAY:" + birthday + "\r\nANNIVERSARY:2015-06-07\r\nEND:VCARD\r\n");
  };
  card("anna.vcf", "Berg;Anna;;;", "1991-02-03");
  card("ben.vcf", "Ott;Ben;;;", "1980-05-06");
  SaveSamples();  // Anna Berg's birthday here is another day
  const auto annaDate = [this] {
    FeskList list(folder.StoragePath());
    EXPECT_TRUE(list.Load());
    for (const StorageItem& item : list) {
      if (AsEntry(&item)->FirstName() == u"Anna") return DateOfFileTime(AsEntry(&item)->m_ftDate);
    }
    return CalendarDate{};
  };
  const CalendarDate listed = annaDate();
  const std::string annaCard = ReadFileBytes(contacts / "anna.vcf");
  const struct {
    std::vector<std::string> args;
    const char* report;
    std::size_t entries;
  } runs[] = {
      {{"import", "--anniversaries", "off", "--rule", "3"}, "Birthdays added: 1\nAnniversaries added: 0\n", 6},
      {{"import", "--birthdays", "off", "--rule", "3"}, "Anniversaries added: 2\n", 8},
      {{"import", "--rule", "3"}, "Already in the list: 3\nList dates changed: 0\nContacts changed: 0\nDifferences left as they were: 1", 8},
  };
  for (const auto& run : runs) {
    const CliRun done = folder.Run(run.args);
    ASSERT_EQ(done.code, 0) << done.err;
    EXPECT_NE(done.out.find(run.report), std::string::npos) << done.out;
    FeskList list(folder.StoragePath());
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.Count(), run.entries) << done.out;
  }
  EXPECT_EQ(annaDate(), listed);
  EXPECT_EQ(ReadFileBytes(contacts / "anna.vcf"), annaCard);

  // Rule 2 writes the entry's date into the card, rule 1 (the default) the card's into the entry.
  const CliRun toCard = folder.Run({"import", "--rule", "1", "--birthday-rule", "2"});
  ASSERT_EQ(toCard.code, 0) << toCard.err;
  EXPECT_NE(toCard.out.find("Contacts changed: 1\n"), std::string::npos) << toCard.out;
  char iso[16];
  std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", listed.year, listed.month, listed.day);
  EXPECT_NE(ReadFileBytes(contacts / "anna.vcf").find(iso), std::string::npos) << ReadFileBytes(contacts / "anna.vcf");
  card("anna.vcf", "Berg;Anna;;;", "1991-02-03");
  // A listening application hears of the whole list.
  const auto changed = platform::NamedEvent::Create(kStorageChangedEvent);
  std::string told;
  std::thread listener([&] {
    if (changed->Wait(10'000) != platform::WaitResult::Acquired) return;
    told = ReadFileBytes(folder.Folder() + kSyncFileName);
    if (auto reply = platform::NamedEvent::Open(kNotifyContinueEvent)) reply->Set();
  });
  const CliRun toEntry = folder.Run({"import"});
  listener.join();
  ASSERT_EQ(toEntry.code, 0) << toEntry.err;
  EXPECT_NE(toEntry.out.find("List dates changed: 1\n"), std::string::npos) << toEntry.out;
  EXPECT_EQ(annaDate(), (CalendarDate{1991, 2, 3}));
  EXPECT_EQ(told, std::string("\0\0\0\0\4\0\0\0", 8));
}

TEST_F(CliTest, StatusNamesTheNextDateForAPanel) {
  const struct {
    int days;
    const char* text;
    const char* style;
  } rows[] = {
      {-1, "No dates ahead.", "none"},
      {0, "\u25CF Today: Jonas Keller, Solo +1", "today"},
      {3, "Next in 3 days: Anna Berg", "upcoming"},
  };
  for (const auto& row : rows) {
    std::vector<std::unique_ptr<FeskItem>> entries;
    if (row.days == 0) {
      for (const char* name : {"Solo", "Jonas", "Zoe"}) {
        entries.push_back(MakeEntry(Birthday, name, DaysAhead(0, 41), name == std::string("Jonas") ? "Keller" : ""));
      }
    }
    if (row.days >= 0) entries.push_back(MakeEntry(Birthday, "Anna", DaysAhead(3, 30), "Berg"));
    folder.Save(std::move(entries));
    const CliRun text = folder.Run({"status"}), json = folder.Run({"status", "--json"});
    EXPECT_EQ(text.code, 0);
    EXPECT_EQ(text.out, std::string(row.text) + "\n");
    ASSERT_EQ(json.code, 0) << json.err;
    const CliRun checked = folder.Python(std::string(R"py(
import json, sys
status = json.load(sys.stdin)
assert sorted(status) == ["class", "text", "tooltip"], status
assert status["text"] == ")py") + row.text + "\" and status[\"class\"] == \"" + row.style + R"py(", status
assert status["tooltip"].count("\n") == {"none": 0, "today": 3, "upcoming": 0}[status["class"]], status
)py", json.out);
    EXPECT_EQ(checked.code, 0) << checked.out << json.out;
  }

  // Read latest day first, the soonest last: the tooltip still gives the ten
  // soonest, and the first date all of its names in order.
  std::vector<std::unique_ptr<FeskItem>> entries;
  for (int days = 20; days >= 7; --days) {
    entries.push_back(MakeEntry(Birthday, "Day" + std::to_string(days), DaysAhead(days, 30)));
  }
  for (const char* name : {"Zed", "Abe", "Mia"}) {
    entries.push_back(MakeEntry(Birthday, name, DaysAhead(5, 30)));
  }
  entries.push_back(MakeEntry(Birthday, "Aaa", DaysAhead(13, 30)));  // on the last day shown, read last
  folder.Save(std::move(entries));
  const CliRun json = folder.Run({"status", "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  const CliRun checked = folder.Python(R"py(
import json, re, sys
status = json.load(sys.stdin)
assert status["text"] == "Next in 5 days: Abe, Mia +1", status
lines = status["tooltip"].split("\n")
assert [re.match(r"in (\d+) days: (\w+)", l).groups() for l in lines] == \
    [("5", "Abe"), ("5", "Mia"), ("5", "Zed")] + \
    [(str(d), "Day%d" % d) for d in range(7, 13)] + [("13", "Aaa")], lines
)py", json.out);
  EXPECT_EQ(checked.code, 0) << checked.out << json.out;
}

}  // namespace
