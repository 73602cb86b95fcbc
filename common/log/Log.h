#pragma once
// Diagnostic log of the engine and the reminder utility. Off unless the build
// defines NATALO_LOG=1 (CMake option NATALO_LOG); when off, both operations are
// empty inline functions: nothing is formatted and no file is touched.
//
// When on, each WriteLog appends one UTF-8 line "[date time]message\n" to the
// file set by SetLogFile; a file that has grown above 128000 bytes is emptied
// first.
#include <string>

#if defined(NATALO_LOG) && NATALO_LOG

// The log file is `folder`/`fileName`; WriteLog writes nothing until it is set.
void SetLogFile(const std::string& folder, const std::string& fileName);
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

#else

inline void SetLogFile(const std::string&, const std::string&) {}
inline void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline void WriteLog(const char*, ...) {}

#endif

// Above this size the log file is emptied before the next line.
inline constexpr long LOG_SIZE_LIMIT = 128000;
