#include "common/text/ProgramFolder.h"

#include "platform/folder/ProgramFolder.h"
#include "platform/text/Utf.h"

namespace {
std::u16string& OverrideFolder() {
  static std::u16string folder;
  return folder;
}
}  // namespace

std::u16string GetProgramFolder() {
  if (!OverrideFolder().empty()) return OverrideFolder();
  return platform::FromUtf8(platform::GetExecutableFolder());
}

void SetProgramFolder(const std::u16string& folder) {
  OverrideFolder() = folder;
  if (!folder.empty() && folder.back() != u'/') OverrideFolder() += u'/';
}
