#pragma once
// The utility's diagnostic log: "FeskUtil_log.txt" in the data folder,
// written through the shared log, which the delivered build keeps switched off.
#include <string>

#include "common/log/Log.h"

inline void OpenUtilLog(const std::string& folder) { SetLogFile(folder, "FeskUtil_log.txt"); }
