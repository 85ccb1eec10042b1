// Runs a piece of a test as the unprivileged user "nobody", in a child
// process, so that permission checks mean what they mean for users (root
// writes read-only files). The piece returns "" or what went wrong.
#pragma once

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

struct AsNobodyResult {
  bool skipped = false;  // privileges could not be dropped; why in `failure`
  std::string failure;   // what the piece reported; "" when it passed
};

inline constexpr uid_t kNobody = 65534;

inline AsNobodyResult RunAsNobody(const std::function<std::string()>& piece) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {true, "no pipe"};
  const pid_t child = fork();
  if (child < 0) return {true, "no fork"};
  if (child == 0) {
    close(pipeFds[0]);
    std::string message;
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
                           setresuid(kNobody, kNobody, kNobody) != 0)) {
      message = "skip: cannot become nobody";
    } else if (geteuid() == 0) {
      message = "skip: still root";
    } else {
      message = piece();
    }
    const char* p = message.data();
    size_t n = message.size();
    while (n > 0) {
      const ssize_t w = write(pipeFds[1], p, n);
      if (w <= 0) break;
      p += w;
      n -= static_cast<size_t>(w);
    }
    _exit(0);
  }
  close(pipeFds[1]);
  std::string message;
  char buffer[512];
  for (ssize_t r; (r = read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
    if (r < 0) break;
    message.append(buffer, static_cast<size_t>(r));
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {false, "the child did not end normally"};
  if (message.rfind("skip: ", 0) == 0) return {true, message.substr(6)};
  return {false, message};
}

// In a test: runs the piece as nobody, skips with the reason when that is
// impossible, and fails with the piece's report.
#define EXPECT_AS_NOBODY(piece)                                   \
  do {                                                            \
    const AsNobodyResult result_ = RunAsNobody(piece);            \
    if (result_.skipped) GTEST_SKIP() << result_.failure;         \
    EXPECT_EQ(result_.failure, "");                               \
  } while (false)
