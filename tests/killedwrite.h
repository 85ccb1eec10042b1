// Runs a write in a child process that is killed, as by kill -9, as soon
// as the write passes a file-size limit of 100 bytes: what a save leaves
// when the process dies half-way.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Whether the child was killed, as it should be, during the write.
inline bool KilledDuringTheWrite(const std::function<void()>& write) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    struct sigaction kill9 {};
    kill9.sa_handler = [](int) { raise(SIGKILL); };
    sigaction(SIGXFSZ, &kill9, nullptr);
    rlimit small{};
    getrlimit(RLIMIT_FSIZE, &small);
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    try {
      write();
    } catch (...) {
    }
    _exit(0);
  }
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}
