#pragma once
// A forked child for multi-process tests. The child runs a function and ends
// with its result through _exit; it tells the parent it is ready by writing a
// byte. The child is killed and reaped when the object goes, whatever the
// outcome of the test.
#include <sys/types.h>

#include <functional>

namespace synctest {

class ChildProcess {
 public:
  // `body` runs in the child; it calls `ready()` once it is set up.
  explicit ChildProcess(const std::function<int(const std::function<void()>& ready)>& body);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return m_pid > 0; }
  // True when the child said it is ready within the time.
  bool WaitReady(int timeoutMs);
  // SIGKILL and reap.
  void Kill();
  // The child's exit code, or -1 when it did not end normally within the time.
  int Join(int timeoutMs);

 private:
  pid_t m_pid = -1;
  int m_readyFd = -1;
};

}  // namespace synctest
