#pragma once
// The program folder: where every file of the suite lies (local.dat,
// storage.dat, sync.tmp, the help file, the engine library), ending with '/'.
#include <string>

// The folder of the running program, or the one set with SetProgramFolder.
std::u16string GetProgramFolder();

// Replaces the program folder for this process; an empty text restores the
// running program's folder. The engine library passes its own folder here
// (platform::GetModuleFolder of one of its functions); tests pass theirs.
// A folder without a trailing '/' gets one. Call it before other threads start.
void SetProgramFolder(const std::u16string& folder);
