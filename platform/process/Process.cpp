#include "platform/process/Process.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
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
// The caller's environment with the given "NAME=value" entries set (replacing
// entries of the same name).
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> merged;
  for (char** entry = environ; entry && *entry; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('=') + 1);
    bool replaced = false;
    for (const auto& e : extra) replaced = replaced || e.compare(0, name.size(), name) == 0;
    if (!replaced) merged.push_back(text);
  }
  merged.insert(merged.end(), extra.begin(), extra.end());
  return merged;
}

pid_t SpawnDetached(const std::string& program, const std::vector<std::string>& args,
                    const std::vector<std::string>& extraEnvironment) {
  if (access(program.c_str(), X_OK) != 0) return -1;
  // Built before fork: the child only calls async-signal-safe functions.
  std::vector<std::string> environment = MergedEnvironment(extraEnvironment);
  std::vector<char*> envp;
  for (auto& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The program gets none of the caller's standard streams: a caller whose
  // output is read through a pipe (a shell's $(...), an install step) would
  // otherwise wait for the program to end before it sees the end of it.
  posix_spawn_file_actions_t streams;
  if (posix_spawn_file_actions_init(&streams) != 0) return -1;
  bool streamsSet = true;
  for (int fd = 0; fd <= 2; ++fd) {
    streamsSet = streamsSet &&
                 posix_spawn_file_actions_addopen(&streams, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0) == 0;
  }
  int pipefd[2];
  if (!streamsSet || pipe2(pipefd, O_CLOEXEC) != 0) {
    posix_spawn_file_actions_destroy(&streams);
    return -1;
  }
  const pid_t middle = fork();
  if (middle < 0) {
    close(pipefd[0]);
    close(pipefd[1]);
    posix_spawn_file_actions_destroy(&streams);
    return -1;
  }
  if (middle == 0) {
    close(pipefd[0]);
    // A session of its own: no terminal's hang-up or job control reaches it.
    setsid();
    pid_t child = -1;
    char** env = extraEnvironment.empty() ? environ : envp.data();
    if (posix_spawn(&child, program.c_str(), &streams, nullptr, argv.data(), env) != 0) child = -1;
    (void)!write(pipefd[1], &child, sizeof child);
    _exit(0);
  }
  posix_spawn_file_actions_destroy(&streams);
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
  return SpawnDetached(program, args, {});
}

pid_t StartProcess(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& extraEnvironment) {
  return SpawnDetached(program, args, extraEnvironment);
}

CommandResult RunCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
  CommandResult result;
  if (argv.empty()) return result;
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t child = -1;
  const bool started = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (!started) {
    close(out[0]);
    return result;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  bool timedOut = false;
  for (char buffer[4096];;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd fd{out[0], POLLIN, 0};
    const int ready = poll(&fd, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timedOut = ready == 0;
      break;
    }
    const ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    result.output.append(buffer, static_cast<size_t>(n));
  }
  close(out[0]);
  if (timedOut) kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
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

void* SharedLibrary::Symbol(const char* name, const char* version) const {
  if (!m_handle) return nullptr;
  void* found = dlvsym(m_handle, name, version);
  // The loader answers any version with the plain symbol of a library that
  // carries no version information at all: such a library has no node either.
  if (found != nullptr && dlvsym(m_handle, name, "-") == found) return nullptr;
  return found;
}

}  // namespace platform
