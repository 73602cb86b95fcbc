#include "tests/app/AppTestFolder.h"

#include <QFile>

#include <cstdlib>
#include <filesystem>

#include "common/entries/EntryCalendar.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "common/text/ProgramFolder.h"
#include "platform/text/Utf.h"

namespace fs = std::filesystem;

AppTestFolder::AppTestFolder(TestEngine engine) : m_folder(m_env.ProgramFolder()) {
  const fs::path built = NATALO_BUILT_PROGRAM_DIR;
  fs::copy_file(built / "local.dat", m_folder + "local.dat");
  fs::create_symlink(built / "NataloIcons.rcc", m_folder + "NataloIcons.rcc");
  if (engine == TestEngine::Recording) {
    fs::create_symlink(NATALO_RECORDING_ENGINE, m_folder + "Natalo.so");
  } else if (engine == TestEngine::WithoutCalculate) {
    fs::create_symlink(NATALO_ENGINE_WITHOUT_CALCULATE, m_folder + "Natalo.so");
  } else if (engine == TestEngine::Real) {
    // A copy, not a link: the engine finds its folder from its own file.
    fs::copy_file(built / "Natalo.so", m_folder + "Natalo.so");
  }
  // The first-run offer to import contacts counts as made; the tests of the
  // offer take the flag away.
  WriteFirstRunScanImportDone(1);
  setenv("NATALO_TEST_ENGINE_LOG", (m_env.Root() / "engine.log").string().c_str(), 1);
  // Reminders armed by the engine go to a folder of the test, and no
  // notification service is started for them.
  if (const char* old = std::getenv("NATALO_NOTIFY_DIR")) m_oldNotifyDir = old;
  const std::string notify = (m_env.Root() / "notify").string() + "/";
  fs::create_directories(notify);
  setenv("NATALO_NOTIFY_DIR", notify.c_str(), 1);
  setenv("NATALO_NOTIFYD", (m_env.Root() / "no-notification-service").string().c_str(), 1);
}

AppTestFolder::~AppTestFolder() {
  if (m_oldNotifyDir.empty()) {
    unsetenv("NATALO_NOTIFY_DIR");
  } else {
    setenv("NATALO_NOTIFY_DIR", m_oldNotifyDir.c_str(), 1);
  }
  unsetenv("NATALO_NOTIFYD");
  unsetenv("NATALO_TEST_ENGINE_LOG");
}

std::string AppTestFolder::EngineLog() const { return testsupport::ReadFileBytes(m_env.Root() / "engine.log"); }

QString AppTestFolder::InstallProgram() const {
  const std::string program = m_folder + "Natalo";
  fs::copy_file(fs::path(NATALO_BUILT_PROGRAM_DIR) / "Natalo", program);
  return QString::fromStdString(program);
}

void AppTestFolder::WriteStars(const std::string& lines) const {
  const std::u16string text = u"\xFEFF" + platform::FromUtf8(lines);
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  testsupport::WriteFileBytes(m_folder + "stars.dat", bytes);
}

void AppTestFolder::UseInThisProcess() const {
  SetProgramFolder(platform::FromUtf8(m_folder));
  GetLocalTable().LoadFile(m_folder + "local.dat", u"[English]");
  InitLocalePatterns();
  g_settings = AppSettings{};
}

StartupOptions OptionsFor(const AppTestFolder& folder, QSize screen) {
  StartupOptions options = ParseStartupOptions({});
  options.programFolder = folder.Folder();
  options.screen = screen;
  return options;
}

std::unique_ptr<FeskItem> MakeDated(std::uint16_t kind, const char* name, int year, int month, int day) {
  auto entry = std::make_unique<FeskItem>(kind);
  if (kind == Birthday) {
    entry->SetFirstName(platform::FromUtf8(name));
  } else {
    entry->SetName(platform::FromUtf8(name));
  }
  MidnightOf(CalendarDate{year, month, day}, entry->m_ftDate);
  entry->m_dwIcon = DefaultIconOfKind(kind);
  return entry;
}

std::unique_ptr<FeskItem> MakeBirthday(const char* first, const char* last, int year, int month, int day) {
  auto entry = MakeDated(Birthday, first, year, month, day);
  entry->SetLastName(platform::FromUtf8(last));
  return entry;
}

void FillSampleEntries(FeskList& list) {
  list.Add(MakeBirthday("Anna", "Berg", 1985, 3, 14));
  list.Add(MakeBirthday("Jonas", "Keller", 1972, 7, 2));
  auto noted = MakeBirthday("Maria", "Lopez", 1990, 11, 23);
  noted->SetNote(u"Likes orchids");
  list.Add(std::move(noted));
  auto skipped = MakeBirthday("Peter", "Nowak", 1964, 1, 9);
  skipped->m_wSkipNext = 1;
  list.Add(std::move(skipped));
  auto disabled = MakeBirthday("Lena", "Fischer", 2001, 5, 30);
  disabled->m_bEnabled = 0;
  list.Add(std::move(disabled));
  list.Add(MakeBirthday("Maximilian-Alexander", "von Hohenberg-Schwarzenfels", 1958, 9, 17));
  list.Add(MakeBirthday("Tom", "Ivanov", 2015, 12, 24));
  list.Add(MakeDated(Anniversary, "Wedding Sara & Ben", 2010, 6, 19));
  list.Add(MakeDated(Anniversary, "Company founded", 1998, 10, 1));
  auto disabledNote = MakeDated(Anniversary, "First flat", 2005, 4, 1);
  disabledNote->m_bEnabled = 0;
  disabledNote->SetNote(u"Old street");
  list.Add(std::move(disabledNote));
  list.Add(MakeDated(OtherDate, "Car inspection", 2020, 8, 12));
  list.Add(MakeDated(OtherDate, "Tax return", 2019, 5, 31));
  auto odd = MakeDated(OtherDate, "Dentist", 2022, 2, 28);
  odd->m_dwIcon = 5;
  list.Add(std::move(odd));
  list.SaveStorageLocked();
}
