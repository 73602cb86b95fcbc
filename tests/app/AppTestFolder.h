#pragma once
// A private program folder for application tests: the generated files of the
// build (texts, picture bundle, optionally the engine), its own registry,
// runtime folder and notification folder, and helpers to fill it with entries.
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

#include "Natalo/StartupOptions.h"
#include "common/entries/FeskItem.h"
#include "tests/support/TempDir.h"

class FeskList;

// Which engine library the folder holds.
enum class TestEngine {
  None,              // no Natalo.so
  Recording,         // records each CalculateEvents call (EngineLog())
  WithoutCalculate,  // a Natalo.so that lacks CalculateEvents
  Real,              // the engine library of the build
};

class AppTestFolder {
 public:
  explicit AppTestFolder(TestEngine engine = TestEngine::Recording);
  ~AppTestFolder();

  const std::string& Folder() const { return m_folder; }
  QString Path(const char* name) const { return QString::fromStdString(m_folder + name); }
  const testsupport::TestEnvironment& Environment() const { return m_env; }

  // The CalculateEvents calls of the recording engine, one line each.
  std::string EngineLog() const;
  // Copies the built program into the folder (its folder is where it looks for its files).
  QString InstallProgram() const;
  // Writes the stars file (UTF-16LE with a byte-order mark) from UTF-8 lines.
  void WriteStars(const std::string& lines) const;
  // Loads the texts of the folder and resets the settings, as a start-up does.
  void UseInThisProcess() const;

 private:
  testsupport::TestEnvironment m_env;
  std::string m_folder;
  std::string m_oldNotifyDir;
};

// Start-up options for a program that runs from the folder on a screen of this size.
StartupOptions OptionsFor(const AppTestFolder& folder, QSize screen = {240, 320});

std::unique_ptr<FeskItem> MakeBirthday(const char* first, const char* last, int year, int month, int day);
std::unique_ptr<FeskItem> MakeDated(std::uint16_t kind, const char* name, int year, int month, int day);
// A list of about fifteen varied entries and two stars, saved to storage.dat.
void FillSampleEntries(FeskList& list);
