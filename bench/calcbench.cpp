// calcbench: the calculator's benchmarks on the X server in $DISPLAY.
//
//   calcbench startup BIN   time from starting zimro to its window mapped,
//                           and its resident memory 1.5 s later
//   calcbench loop BIN      the FOR loop of for.vek (1,000,000 passes) as the
//                           automatic program inside the calculator, against
//                           the same loop through vekrun
//
// Each run uses a fresh copy of the program's folder with its own calculator
// file. Prints each figure beside its target.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
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

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 20, '\n');
  }
  return -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

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
    const long kb = ResidentKb(pid);
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
  std::printf("%-44s %8.1f ms   (target under 80 ms)\n", "start-up to window mapped (median of 6)",
              Median(times));
  std::printf("%-44s %8.1f MB   (target under 60 MB)\n", "resident memory 1.5 s after start-up",
              Median(memory));
  return 0;
}

// Wall time of a program run to its end, best of three.
double BestOf3(const std::vector<std::string>& argv, const std::vector<std::string>& calcFile,
               const fs::path& bin) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const fs::path dir = calcFile.empty() ? fs::path() : Folder(bin, calcFile);
    std::vector<std::string> args = argv;
    if (!dir.empty()) args.insert(args.begin(), (dir / "zimro").string());
    const auto start = Clock::now();
    const pid_t pid = Spawn(args, dir);
    int status = 0;
    waitpid(pid, &status, 0);
    best = std::min(best, Seconds(Clock::now() - start));
    if (!dir.empty()) fs::remove_all(dir);
  }
  return best;
}

int Loop(const fs::path& bin, const fs::path& benchDir) {
  const std::string loop =
      "B0=\\4DIM sum = 0, i\\y\\nFOR i = 1 TO 1000000 { sum = sum + i }\\y\\nEXIT";
  // The calculator: the run of a file whose automatic program is the loop
  // and then EXIT, less the run of one whose automatic program is EXIT alone.
  const double calcLoop = BestOf3({}, {loop}, bin);
  const double calcEmpty = BestOf3({}, {"B0=\\4EXIT"}, bin);
  const std::string vekrun = (bin / "vekrun").string();
  const std::string script = (benchDir / "for.vek").string();
  const double vekLoop = BestOf3({vekrun, "-e", "DIM n = 1000000", script}, {}, bin);
  const double vekEmpty = BestOf3({vekrun, "-e", "DIM n = 0", script}, {}, bin);
  const double inCalc = calcLoop - calcEmpty;
  const double inVekrun = vekLoop - vekEmpty;
  std::printf("%-44s %8.3f s\n", "FOR loop, 1,000,000 passes, in the calculator", inCalc);
  std::printf("%-44s %8.3f s\n", "FOR loop, 1,000,000 passes, through vekrun", inVekrun);
  std::printf("%-44s %8.2fx   (target within 1.2x)\n", "calculator / vekrun", inCalc / inVekrun);
  return 0;
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
