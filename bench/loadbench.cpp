// loadbench: the time and memory that opening a calculator file takes, for
// files as large as one may be: 64 MiB of line feeds, 64 MiB of short
// name=value lines, and a file the calculator saved with its buttons full.
// Each file is read in a process of its own, so that its peak resident set
// is its own; the figures stand beside their targets: memory a small
// multiple of the file (and under 1 GB), a few seconds at most.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "calculator/calcfile.h"
#include "calculator/stringlist.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"

namespace {

constexpr double kMostSeconds = 3.0;
constexpr double kMostTimesTheFile = 4.0;
constexpr long kMostKb = 1024 * 1024;

struct Figures {
  double wall = 0, cpu = 0;
  long peakKb = 0;   // of the whole child
  long baseKb = 0;   // of the child before it read
  bool loaded = false;
};

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Reads the file in a child; its figures come back through a pipe.
Figures Measure(const std::string& path) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(2);
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    Figures f;
    wsetting setting;
    wini table;
    CalcWindowPos pos;
    f.baseKb = PeakKb();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    const std::u16string name(path.begin(), path.end());
    f.loaded = ReadCalcFile(name, setting, table, pos).loaded;
    f.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    f.cpu = seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) -
            seconds(before.ru_stime);
    f.peakKb = PeakKb();
    (void)!write(fds[1], &f, sizeof f);
    _exit(0);
  }
  close(fds[1]);
  Figures f;
  if (read(fds[0], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) f.loaded = false;
  close(fds[0]);
  waitpid(child, nullptr, 0);
  return f;
}

std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  out.reserve(2 + ascii.size() * 2);
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

}  // namespace

int main() {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("zimro-loadbench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const int64_t size = kMaxCalcFileBytes;

  struct Case {
    const char* what;
    std::string name;
  } cases[] = {{"64 MiB of line feeds", "feeds.ini"},
               {"64 MiB of \"B1=x\" lines", "pairs.ini"},
               {"a saved file of 71 full buttons", "saved.ini"}};
  std::ofstream(dir / "feeds.ini", std::ios::binary) << std::string(size, '\n');
  {
    std::string pairs;
    pairs.reserve(size);
    while (pairs.size() + 5 <= static_cast<size_t>(size)) pairs += "B1=x\n";
    std::ofstream(dir / "pairs.ini", std::ios::binary) << pairs;
  }
  {
    // Labels as long as the file allows, as the calculator writes them.
    std::string text = "Zimro=1.30\r\n";
    const size_t each = static_cast<size_t>(size / 2 / 71) - 64;
    for (int i = 0; i < 71; ++i) {
      text.append("B").append(std::to_string(i)).append("=\\1").append(each, 'x').append("\r\n");
    }
    std::ofstream(dir / "saved.ini", std::ios::binary) << Utf16(text);
  }

  bool failed = false;
  std::printf("opening a calculator file at the size limit (%lld bytes), in a process each\n",
              static_cast<long long>(size));
  std::printf("%-34s %8s %8s %10s %8s  %s\n", "file", "wall s", "cpu s", "memory MB", "x file",
              "target");
  for (const Case& c : cases) {
    const std::filesystem::path path = dir / c.name;
    const double bytes = static_cast<double>(std::filesystem::file_size(path));
    const Figures f = Measure(path.string());
    const long grewKb = f.peakKb - f.baseKb;
    const double times = grewKb * 1024.0 / bytes;
    const bool met = f.loaded && f.wall <= kMostSeconds && times <= kMostTimesTheFile &&
                     f.peakKb <= kMostKb;
    failed = failed || !met;
    std::printf("%-34s %8.2f %8.2f %10.0f %8.2f  at most %.0f s, x%.0f, 1 GB: %s\n", c.what, f.wall,
                f.cpu, grewKb / 1024.0, times, kMostSeconds, kMostTimesTheFile,
                !f.loaded ? "NOT LOADED" : met ? "met" : "MISSED");
  }
  std::filesystem::remove_all(dir);
  return failed ? 1 : 0;
}
