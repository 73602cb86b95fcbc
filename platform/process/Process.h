#pragma once
// Starting programs and documents, and loading shared libraries.
#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

namespace platform {

// Starts `program` detached (no shell, no wait; the child is reaped by init)
// with the given arguments, in a session of its own, with standard input,
// output and error on /dev/null. Returns the child's pid, or -1 when it could
// not be started (missing file, not executable).
pid_t StartProcess(const std::string& program, const std::vector<std::string>& args);
// The same with "NAME=value" entries added to (or replacing those of) the
// caller's environment.
pid_t StartProcess(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& extraEnvironment);

// Runs `argv` (argv[0] looked up on PATH, no shell) with standard input and
// error on /dev/null, and waits at most `timeout` for it to end; a program
// still running then is killed. `exitCode` is -1 when it could not be started,
// was killed or timed out; `output` is what it wrote to standard output.
struct CommandResult {
  int exitCode = -1;
  std::string output;
};
CommandResult RunCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// The one command-line text a program sees: its arguments joined with single spaces.
std::string CommandLineOf(int argc, char** argv);

// Opens a document or folder with the desktop's default application (xdg-open).
bool OpenDocument(const std::string& path);

// A shared library loaded by path; unloaded when destroyed.
class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;
  SharedLibrary(SharedLibrary&& other) noexcept;
  SharedLibrary& operator=(SharedLibrary&& other) noexcept;

  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return m_handle != nullptr; }
  // nullptr when the library is not open or lacks the symbol.
  void* Symbol(const char* name) const;
  // The symbol of that version node only (dlvsym): nullptr also when the
  // library defines the name without the node or under another one.
  void* Symbol(const char* name, const char* version) const;
  // The loader's message for the last failure.
  const std::string& Error() const { return m_error; }

  template <typename Fn>
  Fn Function(const char* name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }
  template <typename Fn>
  Fn Function(const char* name, const char* version) const {
    return reinterpret_cast<Fn>(Symbol(name, version));
  }

 private:
  void* m_handle = nullptr;
  std::string m_error;
};

}  // namespace platform
