// vekrun [options] FILE...: runs script files and texts through the library
// with the headless host, in the order given.
//   -e TEXT          run TEXT (UTF-8)
//   --no             answer message requests with No
//   --max-steps N    stop each run after N statements
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/vekhost.h"

namespace {

struct Item {
  bool isFile;
  std::string value;
};

void Usage() {
  std::fputs("usage: vekrun [--no] [--max-steps N] [-e TEXT | FILE]...\n", stderr);
}

// No script is this large; a device that never ends (/dev/zero) stops here.
constexpr size_t kMaxScriptBytes = size_t{64} << 20;

// The whole file, from a regular file, a pipe or a device; false with errno
// set for a folder and for more than kMaxScriptBytes.
bool ReadBytes(const std::string& path, std::string& bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  const int statError = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (statError != 0) {
    close(fd);
    errno = statError;
    return false;
  }
  bytes.clear();
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || bytes.size() + static_cast<size_t>(n) > kMaxScriptBytes) {
      const int error = n < 0 ? errno : EFBIG;
      close(fd);
      if (n == 0) return true;
      errno = error;
      return false;
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

// UTF-16LE after a byte-order mark FF FE, any other file CP932.
bool ReadScript(const std::string& path, std::u16string& text) {
  std::string bytes;
  if (!ReadBytes(path, bytes)) return false;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    text.clear();
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
  } else {
    text = platform::FromAnsi(bytes);
  }
  return true;
}

bool ParseCount(const char* s, long& n) {
  if (s == nullptr || *s == 0) return false;
  char* end = nullptr;
  errno = 0;
  n = std::strtol(s, &end, 10);
  return errno == 0 && *end == 0 && n > 0;
}

}  // namespace

int main(int argc, char** argv) {
  HeadlessHost::Options options;
  std::vector<Item> items;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-e") {
      if (i + 1 >= argc) {
        Usage();
        return 1;
      }
      items.push_back({false, argv[++i]});
    } else if (arg == "--no") {
      options.answerNo = true;
    } else if (arg == "--max-steps") {
      if (i + 1 >= argc || !ParseCount(argv[i + 1], options.stepLimit)) {
        Usage();
        return 1;
      }
      ++i;
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "vekrun: unknown option %s\n", arg.c_str());
      Usage();
      return 1;
    } else {
      items.push_back({true, arg});
    }
  }
  if (items.empty()) {
    Usage();
    return 1;
  }

  options.output = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
  };
  options.errors = [](std::string_view text) {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  };
  options.input = [](std::u16string& line) {
    std::fflush(stdout);
    std::string bytes;
    if (!std::getline(std::cin, bytes)) return false;
    line = platform::FromUtf8(bytes);
    return true;
  };

  int exitStatus = 0;
  HeadlessHost host(std::move(options));
  for (const Item& item : items) {
    std::u16string text;
    if (item.isFile) {
      if (!ReadScript(item.value, text)) {
        std::fflush(stdout);
        std::fprintf(stderr, "vekrun: cannot read %s: %s\n", item.value.c_str(),
                     std::strerror(errno));
        exitStatus = 1;
        continue;
      }
    } else {
      text = platform::FromUtf8(item.value);
    }
    // 1: the run failed or was stopped; 0: the library could not be called.
    const int32_t status = host.Run(text);
    if (status == 1 || status == 0) exitStatus = 1;
  }
  std::fflush(stdout);
  return exitStatus;
}
