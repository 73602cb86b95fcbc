#pragma once
// What the engine knows about where it lives, computed once when it is loaded.
#include <string>

struct EngineState {
  std::string folder;       // folder of the library file, ending with '/'; empty when unknown
  std::string folderName;   // last component of the folder ("Natalo")
  std::string storagePath;  // folder + "storage.dat"
  std::string utilityPath;  // folder + folder name + "Util" (the reminder utility)
  std::u16string registryKey;  // Software\Quorvex\Tickwell2\<folder name> under HKEY_CURRENT_USER
  std::u16string calculateMutexName;
  std::u16string waitMutexName;
  std::string pluginId;  // class identifier of the plug-in to notify; empty for none
};

// Every path and name derived from the engine folder; no registry access.
EngineState MakeEngineState(const std::string& folder);

// Reads the "Plugin" value into state.pluginId (empty when missing, empty or not
// a class identifier) and logs the identifier found.
void ReadPluginIdentifier(EngineState& state);

// The "Active" value: false only when it is present and 0.
bool IsStorageActive(const EngineState& state);
