// calcbench: the calculator's benchmarks on the X server in $DISPLAY.
//
//   calcbench startup BIN   time from starting zimro to its window mapped,
//                           and its resident memory 1.5 s later
//   calcbench loop BIN      the FOR loop of for.vek (1,000,000 passes) as the
//                           automatic program inside the calculator, against
//                           the same loop through vekrun, in processor time
//
// Each run uses a fresh copy of the program's folder with its own calculator
// file. Prints each figure beside its target and a verdict; the exit
// status is 1 when a target is missed.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/benchsupport.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// UTF-16LE with byte-order mark, lines ending in CR LF.
void WriteCalcFile(const fs::path& file, const std::vector<std::string>& lines) {
  std::string bytes = "\xFF\xFE";
  for (const std::string& line : lines) {
    for (char c : line + "\r\n") {
      bytes += c;
      bytes += '\0';
    }
  }
  std::ofstream(file, std::ios::binary) << bytes;
}

// A fresh folder with the program, its libraries and a calculator file.
fs::path Folder(const fs::path& bin, const std::vector<std::string>& calcFile) {
  char tmpl[] = "/tmp/calcbench-XXXXXX";
  const fs::path dir = mkdtemp(tmpl);
  fs::copy_file(bin / "zimro", dir / "zimro");
  for (const char* lib : {"libvek.so", "libplatform.so"}) fs::create_symlink(bin / lib, dir / lib);
  WriteCalcFile(dir / "zimro.ini", calcFile);
  return dir;
}

pid_t Spawn(const std::vector<std::string>& argv, const fs::path& dir) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      dup2(null, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

int Startup(const fs::path& bin) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "calcbench: no X display\n");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  std::vector<double> times;
  std::vector<double> memory;
  for (int run = 0; run < 7; ++run) {
    const fs::path dir = Folder(bin, {"DispHeight=60"});
    XSync(display, True);  // forget earlier events
    const auto start = Clock::now();
    const pid_t pid = Spawn({(dir / "zimro").string()}, dir);
    bool mapped = false;
    while (!mapped && Clock::now() - start < std::chrono::seconds(10)) {
      while (XPending(display) > 0) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == MapNotify) mapped = true;
      }
      if (!mapped) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const double took = Seconds(Clock::now() - start);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const long kb = ResidentKb(std::to_string(pid));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    fs::remove_all(dir);
    if (!mapped) {
      std::fprintf(stderr, "calcbench: the window was never mapped\n");
      return 1;
    }
    if (run > 0) {  // the first run warms the caches
      times.push_back(took * 1000);
      memory.push_back(kb / 1024.0);
    }
  }
  XCloseDisplay(display);
  const double startMs = Median(times);
  const double startMb = Median(memory);
  std::printf("%-44s %8.1f ms   (target under 80 ms: %s)\n",
              "start-up to window mapped (median of 6)", startMs, Verdict(startMs < 80));
  std::printf("%-44s %8.1f MB   (target under 60 MB: %s)\n", "resident memory 1.5 s after start-up",
              startMb, Verdict(startMb < 60));
  return startMs < 80 && startMb < 60 ? 0 : 1;
}

// Processor time (user and system) of a program run to its end, median of
// five: unlike the wall clock, the other processes of a busy machine do not
// count in it.
double CpuMedian(const std::vector<std::string>& argv, const std::vector<std::string>& calcFile,
                 const fs::path& bin) {
  std::vector<double> times;
  for (int run = 0; run < 5; ++run) {
    const fs::path dir = calcFile.empty() ? fs::path() : Folder(bin, calcFile);
    std::vector<std::string> args = argv;
    if (!dir.empty()) args.insert(args.begin(), (dir / "zimro").string());
    const pid_t pid = Spawn(args, dir);
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    times.push_back(static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6);
    if (!dir.empty()) fs::remove_all(dir);
  }
  return Median(times);
}

int Loop(const fs::path& bin, const fs::path& benchDir) {
  const std::string loop =
      "B0=\\4DIM sum = 0, i\\y\\nFOR i = 1 TO 1000000 { sum = sum + i }\\y\\nEXIT";
  // The run's own processor time: the calculator's with the loop as its
  // automatic program, less the calculator's with EXIT alone (its start-up
  // and closing); the same for vekrun with 1,000,000 and 0 passes.
  const double calcLoop = CpuMedian({}, {loop}, bin);
  const double calcEmpty = CpuMedian({}, {"B0=\\4EXIT"}, bin);
  const std::string vekrun = (bin / "vekrun").string();
  const std::string script = (benchDir / "for.vek").string();
  const double vekLoop = CpuMedian({vekrun, "-e", "DIM n = 1000000", script}, {}, bin);
  const double vekEmpty = CpuMedian({vekrun, "-e", "DIM n = 0", script}, {}, bin);
  const double inCalc = calcLoop - calcEmpty;
  const double inVekrun = vekLoop - vekEmpty;
  const double ratio = inVekrun > 0 ? inCalc / inVekrun : 0;
  const bool met = inCalc > 0 && inVekrun > 0 && ratio <= 1.2;
  std::printf("%-44s %8.3f s of processor time (start-up %.3f s less)\n",
              "FOR loop, 1,000,000 passes, in the calculator", inCalc, calcEmpty);
  std::printf("%-44s %8.3f s of processor time (start-up %.3f s less)\n",
              "FOR loop, 1,000,000 passes, through vekrun", inVekrun, vekEmpty);
  std::printf("%-44s %8.2fx   (target within 1.2x: %s)\n", "calculator / vekrun", ratio,
              Verdict(met));
  return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: calcbench startup|loop BIN\n", stderr);
    return 2;
  }
  const std::string mode = argv[1];
  const fs::path bin = fs::absolute(argv[2]);
  const fs::path benchDir = fs::absolute(fs::path(argv[0])).parent_path();
  if (mode == "startup") return Startup(bin);
  if (mode == "loop") return Loop(bin, argc > 3 ? fs::path(argv[3]) : benchDir);
  std::fputs("usage: calcbench startup|loop BIN [BENCHDIR]\n", stderr);
  return 2;
}
