#pragma once
// What the engine knows about where it lives, computed once when it is loaded.
#include <string>

struct EngineState {
  std::string folder;       // folder of the library file, ending with '/'; empty when unknown
  std::string folderName;   // last component of the folder ("Natalo")
  std::string dataFolder;   // the user's data folder, ending with '/'; empty when it cannot be used
  std::string storagePath;  // dataFolder + "storage.dat"; empty without a data folder
  std::string utilityPath;  // folder + folder name + "Util" (the reminder utility)
  std::u16string registryKey;  // Software\Quorvex\Tickwell2\<folder name> under HKEY_CURRENT_USER
  std::u16string calculateMutexName;
  std::u16string waitMutexName;
  std::string pluginId;  // class identifier of the plug-in to notify; empty for none
};

// Every path and name derived from the engine folder and the data folder; no
// registry access. The utility and the registry key follow the engine folder,
// the storage file and its mutex names the data folder.
EngineState MakeEngineState(const std::string& folder, const std::string& dataFolder);

// Reads the "Plugin" value into state.pluginId (empty when missing, empty or not
// a class identifier) and logs the identifier found.
void ReadPluginIdentifier(EngineState& state);

// The "Active" value: false only when it is present and 0.
bool IsStorageActive(const EngineState& state);
