#include "TickwellLib/EngineState.h"

#include <cstdint>

#include "TickwellLib/EngineLog.h"
#include "TickwellLib/PluginHook.h"
#include "common/store/StorageMutexName.h"
#include "platform/folder/ProgramFolder.h"
#include "platform/registry/Registry.h"
#include "platform/text/Utf.h"

EngineState MakeEngineState(const std::string& folder, const std::string& dataFolder) {
  EngineState s;
  if (folder.empty()) return s;
  s.folder = folder.back() == '/' ? folder : folder + "/";
  s.folderName = platform::FolderName(s.folder);
  if (!dataFolder.empty()) {
    s.dataFolder = dataFolder.back() == '/' ? dataFolder : dataFolder + "/";
    s.storagePath = s.dataFolder + "storage.dat";
  }
  s.utilityPath = s.folder + platform::MapPlatformFileName(s.folderName + "Util.exe");
  s.registryKey = u"Software\\Quorvex\\Tickwell2\\" + platform::FromUtf8(s.folderName);
  const std::u16string storage = platform::FromUtf8(s.storagePath);
  s.calculateMutexName = CalculateMutexName(storage);
  s.waitMutexName = WaitMutexName(storage);
  return s;
}

void ReadPluginIdentifier(EngineState& state) {
  state.pluginId.clear();
  if (state.folder.empty()) return;
  std::u16string value;
  if (!platform::RegReadString(platform::RegistryRoot::CurrentUser, state.registryKey, u"Plugin", value)) return;
  state.pluginId = ParseClassIdentifier(value);
  if (!state.pluginId.empty()) WriteLog("clsid: %s", state.pluginId.c_str());
}

bool IsStorageActive(const EngineState& state) {
  std::uint32_t active = 1;
  if (!platform::RegReadDword(platform::RegistryRoot::CurrentUser, state.registryKey, u"Active", active)) return true;
  return active != 0;
}
