#pragma once
// Names of the system-wide mutexes that guard storage.dat.
#include <string>

// The storage file's full path, upper-cased, with every path separator
// ('/' here, '\\' where it occurs) replaced by "$".
std::u16string StorageMutexName(const std::u16string& storagePath);
// The storage mutex name + "$CALCULATE": one calculation at a time.
std::u16string CalculateMutexName(const std::u16string& storagePath);
// The calculation mutex name + "$WAIT": at most one process waits to calculate.
std::u16string WaitMutexName(const std::u16string& storagePath);
