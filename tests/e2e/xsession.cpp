// xsession: a private X server and the tools that drive it.
#include "xsession.h"

#include "keymap.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

struct Spawn {
  std::vector<std::string> argv;
  std::vector<std::string> env;
  std::filesystem::path cwd;
  int in = -1;        // standard input (else /dev/null)
  int out = -1;       // standard output (else inherited)
  int err = -1;       // standard error (else inherited)
  int keepOpen = -1;  // a further descriptor the child inherits
  bool asNobody = false;
};

constexpr uid_t kNobodyId = 65534;

// fork and exec. The child leads a process group of its own (so that Kill
// reaches what it starts in turn) and is killed when the thread that
// started it ends.
pid_t SpawnChild(const Spawn& s) {
  std::vector<char*> argv;
  for (const std::string& a : s.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : s.env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const std::string cwd = s.cwd.string();
  const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
  const pid_t parent = getpid();

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    // Only async-signal-safe calls from here to exec.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(s.in >= 0 ? s.in : devNull, 0);
    if (s.out >= 0) dup2(s.out, 1);
    if (s.err >= 0) dup2(s.err, 2);
    if (s.keepOpen >= 0) fcntl(s.keepOpen, F_SETFD, 0);
    if (s.asNobody && geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setresgid(kNobodyId, kNobodyId, kNobodyId) != 0 ||
         setresuid(kNobodyId, kNobodyId, kNobodyId) != 0)) {
      _exit(126);
    }
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    execvpe(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  setpgid(pid, pid);  // also here, so that a kill right after the fork finds the group
  close(devNull);
  return pid;
}

int StatusOf(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

// Reads a descriptor to its end or the deadline; false at the deadline.
bool ReadAll(int fd, std::string& into, Clock::time_point deadline) {
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return true;
    into.append(buffer, static_cast<size_t>(n));
  }
}

void WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

}  // namespace

XSession::XSession(SessionOptions options) : options_(options) {
  // Ignore a closed pipe: a helper that dies early must not kill the test.
  signal(SIGPIPE, SIG_IGN);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  Spawn s;
  s.argv = {"Xvfb",   "-displayfd", std::to_string(fds[1]), "-screen", "0",
            std::to_string(options_.width) + "x" + std::to_string(options_.height) + "x24",
            "-nolisten", "tcp", "-noreset"};
  s.env = Environment({});
  s.keepOpen = fds[1];
  const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  s.out = s.err = devNull;
  try {
    server_ = {SpawnChild(s), true};
  } catch (...) {
    close(fds[0]);
    close(fds[1]);
    close(devNull);
    throw;
  }
  close(fds[1]);
  close(devNull);
  // The server writes its display number and a line feed once it listens.
  std::string number;
  const auto deadline = Clock::now() + 30s;
  char c = 0;
  while (Clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 100};
    if (poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = read(fds[0], &c, 1);
    if (n <= 0 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    Reap(server_, 1s);
    throw std::runtime_error("Xvfb did not start");
  }
  display_ = ":" + number;
  if (options_.windowManager) {
    try {
      StartWindowManager();
    } catch (...) {
      Reap(windowManager_, 1s);
      Reap(server_, 1s);
      throw;
    }
  }
}

XSession::~XSession() {
  for (Child& p : programs_) Reap(p, 2s);
  Reap(clipboardServer_, 1s);
  Reap(windowManager_, 1s);
  Reap(server_, 2s);
}

void XSession::StartWindowManager() {
  Spawn s;
  s.argv = {"openbox", "--sm-disable"};
  s.env = Environment({});
  const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  s.out = s.err = devNull;
  windowManager_ = {SpawnChild(s), true};
  close(devNull);
  // openbox names itself on the root window early in its start; windows
  // mapped before it has taken over the existing ones can get lost. The
  // client list and the work area come at the end of its start.
  const bool ready = WaitUntil(
      [&] {
        const std::string root =
            Run({"xprop", "-root", "_NET_CLIENT_LIST", "_NET_WORKAREA"}, 5s).out;
        return root.find("_NET_CLIENT_LIST(WINDOW)") != std::string::npos &&
               root.find("_NET_WORKAREA(CARDINAL)") != std::string::npos;
      },
      30s);
  if (!ready) throw std::runtime_error("openbox did not start");
}

std::vector<std::string> XSession::Environment(const std::vector<std::string>& extra) const {
  std::vector<std::string> env;
  auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  auto overridden = [&](const std::string& name) {
    if (name == "DISPLAY" || name == "WAYLAND_DISPLAY") return true;
    for (const std::string& e : extra)
      if (nameOf(e) == name) return true;
    return false;
  };
  bool qtPlatformGiven = false;
  for (const std::string& e : extra)
    if (nameOf(e) == "QT_QPA_PLATFORM") qtPlatformGiven = true;
  for (char** p = environ; *p != nullptr; ++p) {
    const std::string entry = *p;
    if (nameOf(entry) == "QT_QPA_PLATFORM" && !qtPlatformGiven) continue;
    if (!overridden(nameOf(entry))) env.push_back(entry);
  }
  if (!display_.empty()) env.push_back("DISPLAY=" + display_);
  if (!qtPlatformGiven) env.push_back("QT_QPA_PLATFORM=xcb");
  for (const std::string& e : extra) env.push_back(e);
  return env;
}

pid_t XSession::Start(const std::filesystem::path& program, const ProgramOptions& options) {
  Spawn s;
  s.argv.push_back(program.string());
  for (const std::string& a : options.args) s.argv.push_back(a);
  std::vector<std::string> env = options.env;
  if (options.asNobody) env.push_back("HOME=" + options.workingDirectory.string());
  s.env = Environment(env);
  s.cwd = options.workingDirectory;
  s.asNobody = options.asNobody;
  int out = -1;
  if (!options.output.empty()) {
    out = open(options.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) throw std::runtime_error("cannot write " + options.output.string());
    s.out = s.err = out;
  }
  const pid_t pid = SpawnChild(s);
  if (out >= 0) close(out);
  programs_.push_back({pid, true});
  return pid;
}

bool XSession::IsRunning(pid_t pid) {
  for (Child& p : programs_) {
    if (p.pid != pid) continue;
    if (!p.running) return false;
    int raw = 0;
    if (waitpid(pid, &raw, WNOHANG) == pid) {
      p.running = false;
      p.status = StatusOf(raw);
      return false;
    }
    return true;
  }
  return false;
}

std::optional<int> XSession::WaitForExit(pid_t pid, Millis timeout) {
  for (Child& p : programs_) {
    if (p.pid != pid) continue;
    if (!p.running) return p.status;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
      int raw = 0;
      const pid_t done = waitpid(pid, &raw, WNOHANG);
      if (done == pid) {
        p.running = false;
        p.status = StatusOf(raw);
        return p.status;
      }
      if (done < 0) {
        p.running = false;
        return std::nullopt;
      }
      if (Clock::now() >= deadline) return std::nullopt;
      std::this_thread::sleep_for(10ms);
    }
  }
  return std::nullopt;
}

void XSession::Kill(pid_t pid) {
  for (Child& p : programs_)
    if (p.pid == pid) Reap(p, 2s);
}

void XSession::Reap(Child& child, Millis grace) {
  if (!child.running || child.pid <= 0) return;
  int raw = 0;
  if (waitpid(child.pid, &raw, WNOHANG) == child.pid) {
    child.running = false;
    child.status = StatusOf(raw);
    kill(-child.pid, SIGKILL);  // whatever it left behind in its group
    return;
  }
  kill(-child.pid, SIGTERM);
  const auto deadline = Clock::now() + grace;
  while (Clock::now() < deadline) {
    if (waitpid(child.pid, &raw, WNOHANG) == child.pid) {
      child.running = false;
      child.status = StatusOf(raw);
      kill(-child.pid, SIGKILL);
      return;
    }
    std::this_thread::sleep_for(10ms);
  }
  kill(-child.pid, SIGKILL);
  waitpid(child.pid, &raw, 0);
  child.running = false;
  child.status = StatusOf(raw);
}

ToolResult XSession::Run(const std::vector<std::string>& argv, Millis timeout,
                         const std::string& input) {
  ToolResult result;
  int outPipe[2];
  int inPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return result;
  if (pipe2(inPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return result;
  }
  Spawn s;
  s.argv = argv;
  s.env = Environment({});
  s.in = inPipe[0];
  s.out = outPipe[1];
  Child child{-1, false};
  try {
    child = {SpawnChild(s), true};
  } catch (...) {
    for (int fd : {outPipe[0], outPipe[1], inPipe[0], inPipe[1]}) close(fd);
    return result;
  }
  close(outPipe[1]);
  close(inPipe[0]);
  WriteAll(inPipe[1], input);
  close(inPipe[1]);
  const auto deadline = Clock::now() + timeout;
  const bool finished = ReadAll(outPipe[0], result.out, deadline);
  close(outPipe[0]);
  if (!finished) {
    Reap(child, 0ms);
    return result;
  }
  // The output is closed; the tool may still be on its way out.
  for (;;) {
    int raw = 0;
    if (waitpid(child.pid, &raw, WNOHANG) == child.pid) {
      result.status = StatusOf(raw);
      return result;
    }
    if (Clock::now() >= deadline) {
      Reap(child, 0ms);
      return result;
    }
    std::this_thread::sleep_for(5ms);
  }
}

std::string XSession::WaitForWindow(pid_t pid, Millis timeout, const std::string& name) {
  std::string found;
  WaitUntil(
      [&] {
        if (!IsRunning(pid)) return true;
        std::vector<std::string> argv = {"xdotool", "search", "--onlyvisible", "--pid",
                                         std::to_string(pid)};
        // Both the process and the name must match; xdotool takes either by default.
        if (!name.empty()) argv.insert(argv.end(), {"--all", "--name", name});
        const ToolResult r = Run(argv, 5s);
        std::istringstream lines(r.out);
        std::getline(lines, found);
        return !found.empty();
      },
      timeout);
  return found;
}

void XSession::MoveTo(const std::string& window, int x, int y) {
  Run({"xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y)});
}

void XSession::Click(const std::string& window, int x, int y, int button) {
  Run({"xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y), "click",
       std::to_string(button)});
}

void XSession::Focus(const std::string& window) {
  if (options_.windowManager)
    Run({"xdotool", "windowactivate", "--sync", window}, 5s);
  else
    Run({"xdotool", "windowfocus", "--sync", window}, 5s);
}

void XSession::Type(const std::string& text) {
  // xdotool types a character that the map lacks on a key it binds for that
  // one keystroke and unbinds at once; a program that reads the key after
  // the unbinding loses the character. Bound beforehand, it stays.
  if (!BindMissingCharacters(display_, text))
    throw std::runtime_error("no spare key for the characters of " + text);
  Run({"xdotool", "type", "--delay", "20", "--", text}, 30s);
}

void XSession::Key(const std::string& keys) {
  std::vector<std::string> argv = {"xdotool", "key", "--delay", "20"};
  std::istringstream words(keys);
  for (std::string k; words >> k;) argv.push_back(k);
  Run(argv);
}

void XSession::KeyDown(const std::string& key) { Run({"xdotool", "keydown", key}); }

void XSession::KeyUp(const std::string& key) { Run({"xdotool", "keyup", key}); }

Geometry XSession::WindowGeometry(const std::string& window) {
  // "X=..", "Y=..", "WIDTH=..", "HEIGHT=.." lines.
  const ToolResult r = Run({"xdotool", "getwindowgeometry", "--shell", window});
  Geometry g;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int value = std::atoi(line.c_str() + eq + 1);
    if (key == "X") g.x = value;
    if (key == "Y") g.y = value;
    if (key == "WIDTH") g.width = value;
    if (key == "HEIGHT") g.height = value;
  }
  return g;
}

std::string XSession::WindowName(const std::string& window) {
  return Trimmed(Run({"xdotool", "getwindowname", window}).out);
}

std::string XSession::Clipboard() {
  const ToolResult r = Run({"xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"}, 5s);
  return r.status == 0 ? r.out : std::string();
}

void XSession::SetClipboard(const std::string& text) {
  Reap(clipboardServer_, 1s);
  int inPipe[2];
  if (pipe2(inPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  Spawn s;
  // -quiet keeps xclip in the foreground, serving the text until another
  // program owns the clipboard; it is ours to end.
  s.argv = {"xclip", "-quiet", "-i", "-selection", "clipboard", "-t", "UTF8_STRING"};
  s.env = Environment({});
  s.in = inPipe[0];
  const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  s.out = s.err = devNull;
  clipboardServer_ = {SpawnChild(s), true};
  close(devNull);
  close(inPipe[0]);
  WriteAll(inPipe[1], text);
  close(inPipe[1]);
  WaitUntil([&] { return Clipboard() == text; }, 5s);
}

bool XSession::Screenshot(const std::filesystem::path& png, const std::string& window) {
  const ToolResult r =
      Run({"import", "-window", window.empty() ? "root" : window, png.string()}, 30s);
  return r.status == 0;
}

TempDir::TempDir() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::string pattern = (base / "zimro-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::CopyFrom(const std::filesystem::path& folder, bool recursive) {
  auto options = std::filesystem::copy_options::overwrite_existing;
  if (recursive) options |= std::filesystem::copy_options::recursive;
  std::filesystem::copy(folder, path_, options);
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace e2e
