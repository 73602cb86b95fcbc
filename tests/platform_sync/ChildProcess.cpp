#include "tests/platform_sync/ChildProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace synctest {

ChildProcess::ChildProcess(const std::function<int(const std::function<void()>& ready)>& body) {
  int fds[2];
  if (pipe(fds) != 0) return;
  m_pid = fork();
  if (m_pid == 0) {
    close(fds[0]);
    const int writeFd = fds[1];
    const int code = body([writeFd] {
      const char byte = 1;
      if (write(writeFd, &byte, 1) != 1) _exit(99);
    });
    _exit(code);
  }
  close(fds[1]);
  m_readyFd = fds[0];
}

ChildProcess::~ChildProcess() {
  Kill();
  if (m_readyFd >= 0) close(m_readyFd);
}

bool ChildProcess::WaitReady(int timeoutMs) {
  pollfd p{m_readyFd, POLLIN, 0};
  char byte = 0;
  return poll(&p, 1, timeoutMs) == 1 && read(m_readyFd, &byte, 1) == 1;
}

void ChildProcess::Kill() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGKILL);
  waitpid(m_pid, nullptr, 0);
  m_pid = -1;
}

int ChildProcess::Join(int timeoutMs) {
  if (m_pid <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(m_pid, &status, WNOHANG)) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  m_pid = -1;
  if (done < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace synctest
