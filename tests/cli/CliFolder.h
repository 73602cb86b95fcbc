#pragma once
// A temporary program folder holding the command line, the engine and the
// texts, and runs of the command line in it as a separate process.
#include <string>
#include <vector>

#include "common/entries/FeskList.h"
#include "tests/support/TempDir.h"

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

class CliFolder {
 public:
  CliFolder();
  ~CliFolder();
  const std::string& Folder() const { return m_folder; }
  std::string StoragePath() const { return m_folder + "storage.dat"; }
  std::string NotifyFolder() const { return (m_env.Root() / "notify").string(); }

  // Runs NataloCli with the arguments; `shellTail` is appended to the command
  // line as it is (a redirection, say).
  CliRun Run(const std::vector<std::string>& args, const std::string& shellTail = "") const;
  // Saves the entries as storage.dat.
  void Save(std::vector<std::unique_ptr<FeskItem>> entries) const;
  // Runs a Python program (Debian's interpreter, which sees the apt modules)
  // with `input` on its standard input; its exit code and output.
  CliRun Python(const std::string& program, const std::string& input) const;

 private:
  testsupport::TestEnvironment m_env;
  std::string m_folder;
};

// A birthday (first and last name) or another kind (name) on the date.
std::unique_ptr<FeskItem> MakeEntry(std::uint16_t kind, const std::string& name, const CalendarDate& date,
                                    const std::string& lastName = "");
// The date `days` days after today, `yearsBack` years earlier (29 February
// becomes 28 February where the year has none).
CalendarDate DaysAhead(int days, int yearsBack = 0);
