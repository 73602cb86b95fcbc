#include "tests/cli/CliFolder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "common/entries/EntryReminder.h"
#include "platform/text/Utf.h"

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

CliFolder::CliFolder() : m_folder(m_env.ProgramFolder()) {
  const fs::path built = NATALO_BUILT_PROGRAM_DIR;
  fs::create_directories(m_folder);
  for (const char* file : {"NataloCli", "Natalo.so", "NataloLocale.so", "local.dat"}) {
    fs::copy_file(built / file, m_folder + file);
  }
  fs::create_directories(NotifyFolder());
  // Reminders the engine arms go to the test's folder; no notification service starts.
  setenv("NATALO_NOTIFY_DIR", (NotifyFolder() + "/").c_str(), 1);
  setenv("NATALO_NOTIFYD", (m_env.Root() / "no-notification-service").string().c_str(), 1);
  setenv("NATALO_LOCK_TIMEOUT_MS", "300", 1);
}

CliFolder::~CliFolder() {
  unsetenv("NATALO_NOTIFY_DIR");
  unsetenv("NATALO_NOTIFYD");
  unsetenv("NATALO_LOCK_TIMEOUT_MS");
}

CliRun CliFolder::Run(const std::vector<std::string>& args, const std::string& shellTail) const {
  const fs::path out = m_env.Root() / "out.txt";
  const fs::path err = m_env.Root() / "err.txt";
  std::string command = Quoted(m_folder + "NataloCli");
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " >" + Quoted(out.string()) + " 2>" + Quoted(err.string()) + " " + shellTail;
  const int status = std::system(command.c_str());
  CliRun run;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = testsupport::ReadFileBytes(out);
  run.err = testsupport::ReadFileBytes(err);
  return run;
}

CliRun CliFolder::Python(const std::string& program, const std::string& input) const {
  const fs::path script = m_env.Root() / "check.py";
  const fs::path in = m_env.Root() / "in.txt";
  testsupport::WriteFileBytes(script, program);
  testsupport::WriteFileBytes(in, input);
  const fs::path out = m_env.Root() / "py.txt";
  const std::string command = "/usr/bin/python3 " + Quoted(script.string()) + " <" + Quoted(in.string()) + " >" +
                              Quoted(out.string()) + " 2>&1";
  const int status = std::system(command.c_str());
  CliRun run;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = testsupport::ReadFileBytes(out);
  return run;
}

void CliFolder::Save(std::vector<std::unique_ptr<FeskItem>> entries) const {
  FeskList list(StoragePath());
  for (auto& entry : entries) list.Add(std::move(entry));
  EXPECT_TRUE(list.Save());
}

std::unique_ptr<FeskItem> MakeEntry(std::uint16_t kind, const std::string& name, const CalendarDate& date,
                                    const std::string& lastName) {
  auto entry = std::make_unique<FeskItem>(kind);
  if (kind == Birthday) {
    entry->SetFirstName(platform::FromUtf8(name));
  } else {
    entry->SetName(platform::FromUtf8(name));
  }
  entry->SetLastName(platform::FromUtf8(lastName));
  MidnightOf(date, entry->m_ftDate);
  entry->m_bEnabled = 1;
  ApplyReminder(*entry, 2, 0x0C00);
  return entry;
}

CalendarDate DaysAhead(int days, int yearsBack) {
  platform::FileTime midnight = 0;
  MidnightOf(Today(), midnight);
  const CalendarDate ahead = DateOfFileTime(midnight + static_cast<platform::FileTime>(days) * 864'000'000'000ull);
  return PlaceInYear(ahead.month, ahead.day, ahead.year - yearsBack);
}
