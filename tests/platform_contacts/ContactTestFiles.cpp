#include "tests/platform_contacts/ContactTestFiles.h"

#include "platform/contacts/VariantDate.h"
#include "tests/support/TempDir.h"

namespace contacttest {

std::filesystem::path DataFile(const std::string& name) { return std::filesystem::path(CONTACTS_DATA_DIR) / name; }

std::string ReadData(const std::string& name) { return testsupport::ReadFileBytes(DataFile(name)); }

void CopyData(const std::filesystem::path& folder, std::initializer_list<const char*> names) {
  std::filesystem::create_directories(folder);
  for (const char* name : names) std::filesystem::copy_file(DataFile(name), folder / name);
}

platform::ContactDate Date(int year, int month, int day) { return platform::ContactDate{year, month, day, true}; }

platform::ContactDate DateNoYear(int month, int day) {
  return platform::ContactDate{platform::CONTACT_YEAR_UNKNOWN, month, day, false};
}

double Variant(int year, int month, int day) {
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(year);
  st.wMonth = static_cast<std::uint16_t>(month);
  st.wDay = static_cast<std::uint16_t>(day);
  double v = 0;
  platform::SystemTimeToVariantTime(st, v);
  return v;
}

}  // namespace contacttest
