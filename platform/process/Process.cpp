#include "platform/process/Process.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

extern char** environ;

namespace platform {
namespace {

// Starts the program through an intermediate child that exits at once, so the
// program is re-parented to init and never left as a zombie of the caller.
pid_t SpawnDetached(const std::string& program, const std::vector<std::string>& args) {
  if (access(program.c_str(), X_OK) != 0) return -1;
  int pipefd[2];
  if (pipe2(pipefd, O_CLOEXEC) != 0) return -1;
  const pid_t middle = fork();
  if (middle < 0) {
    close(pipefd[0]);
    close(pipefd[1]);
    return -1;
  }
  if (middle == 0) {
    close(pipefd[0]);
    setsid();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = -1;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) child = -1;
    (void)!write(pipefd[1], &child, sizeof child);
    _exit(0);
  }
  close(pipefd[1]);
  pid_t child = -1;
  if (read(pipefd[0], &child, sizeof child) != static_cast<ssize_t>(sizeof child)) child = -1;
  close(pipefd[0]);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  return child;
}

}  // namespace

pid_t StartProcess(const std::string& program, const std::vector<std::string>& args) {
  return SpawnDetached(program, args);
}

std::string CommandLineOf(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

bool OpenDocument(const std::string& path) {
  for (const char* opener : {"/usr/bin/xdg-open", "/usr/local/bin/xdg-open"}) {
    if (access(opener, X_OK) == 0) return StartProcess(opener, {path}) > 0;
  }
  return false;
}

SharedLibrary::~SharedLibrary() { Close(); }

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_error(std::move(other.m_error)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
  if (this != &other) {
    Close();
    m_handle = std::exchange(other.m_handle, nullptr);
    m_error = std::move(other.m_error);
  }
  return *this;
}

bool SharedLibrary::Open(const std::string& path) {
  Close();
  m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m_handle) {
    const char* err = dlerror();
    m_error = err ? err : "dlopen failed";
    return false;
  }
  m_error.clear();
  return true;
}

void SharedLibrary::Close() {
  if (m_handle) {
    dlclose(m_handle);
    m_handle = nullptr;
  }
}

void* SharedLibrary::Symbol(const char* name) const {
  if (!m_handle) return nullptr;
  return dlsym(m_handle, name);
}

}  // namespace platform
