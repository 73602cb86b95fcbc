#pragma once
// For a library that links SqliteOnDemand.cpp: SQLite is loaded on the first
// registry call of any thread. Loading a library takes the loader's lock, so a
// worker thread that a library's unload waits for must never be the first:
// call this on the caller's thread before such a worker may read the registry.
// False when SQLite cannot be loaded (every registry call then fails).
bool LoadSqliteOnDemand();
