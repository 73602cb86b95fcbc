#pragma once
// Removal of the engine's temporary files.
#include <string>

// Deletes every regular file named "tkw*.tmp" (any letter case) in `folder`;
// returns how many were deleted.
int DeleteTemporaryFiles(const std::string& folder);
