#pragma once
// The engine's diagnostic log: "Tickwell3_log.txt" in the data folder, written
// through the shared log (WriteLog), which the delivered build keeps switched off.
#include <string>

#include "common/log/Log.h"

inline void OpenEngineLog(const std::string& folder) { SetLogFile(folder, "Tickwell3_log.txt"); }
