// module: libraries loaded at run time, over dlopen.
#include "platform/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

// The folder of the running program, with its trailing "/"; empty when
// /proc cannot tell.
std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  std::string folder(path, static_cast<size_t>(n));
  const size_t slash = folder.rfind('/');
  if (slash == std::string::npos) return {};
  return folder.substr(0, slash + 1);
}

}  // namespace

extern "C" {

HMODULE LoadLibraryA(const char* fileName) {
  if (fileName == nullptr || *fileName == 0) return nullptr;
  if (std::strchr(fileName, '/') == nullptr) {
    const std::string folder = ProgramFolder();
    if (!folder.empty()) {
      const std::string beside = folder + fileName;
      if (access(beside.c_str(), F_OK) == 0) {
        if (void* module = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
      }
    }
  }
  return dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
}

void* GetProcAddress(HMODULE module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  return dlsym(module, name);
}

BOOL FreeLibrary(HMODULE module) {
  if (module == nullptr) return FALSE;
  return dlclose(module) == 0 ? TRUE : FALSE;
}

}  // extern "C"
