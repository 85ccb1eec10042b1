// files: folders and directory listings over POSIX.
#include "platform/files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

bool GlobMatch(const char16_t* p, size_t pn, const char16_t* n, size_t nn) {
  // Iterative glob with one backtrack point: enough for "*" and "?".
  size_t pi = 0, ni = 0, star = std::u16string::npos, mark = 0;
  while (ni < nn) {
    if (pi < pn && p[pi] == u'*') {
      star = pi++;
      mark = ni;
    } else if (pi < pn && (p[pi] == u'?' ||
                           platform::ToLowerUnit(p[pi]) == platform::ToLowerUnit(n[ni]))) {
      ++pi;
      ++ni;
    } else if (star != std::u16string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < pn && p[pi] == u'*') ++pi;
  return pi == pn;
}

bool HasWildcard(const std::u16string& s) {
  return s.find_first_of(u"*?") != std::u16string::npos;
}

DWORD AttributesOf(const std::string& path, const std::u16string& name) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) return FILE_ATTRIBUTE_ARCHIVE;
  DWORD a = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!name.empty() && name[0] == u'.' && name != u"." && name != u"..") a |= FILE_ATTRIBUTE_HIDDEN;
  if (!(st.st_mode & S_IWUSR)) a |= FILE_ATTRIBUTE_READONLY;
  return a;
}

void Fill(WIN32_FIND_DATAW* data, const std::string& path, const std::u16string& name) {
  *data = WIN32_FIND_DATAW{};
  data->dwFileAttributes = AttributesOf(path, name);
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    uint64_t size = static_cast<uint64_t>(st.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
  }
  size_t n = name.size() < MAX_PATH - 1 ? name.size() : MAX_PATH - 1;
  name.copy(data->cFileName, n);
  data->cFileName[n] = 0;
}

// A search in progress. A pattern without wildcards yields its one entry.
struct FindState {
  DIR* dir = nullptr;
  std::string folder;  // with a trailing "/" unless empty
  std::u16string pattern;
  std::u16string single;
  std::string singleBytes;
  bool singlePending = false;
};

bool NextEntry(FindState* state, WIN32_FIND_DATAW* data) {
  if (state->singlePending) {
    state->singlePending = false;
    Fill(data, state->folder + state->singleBytes, state->single);
    return true;
  }
  if (!state->dir) return false;
  while (dirent* e = readdir(state->dir)) {
    std::u16string name = platform::FromFileName(e->d_name);
    if (platform::MatchFileName(state->pattern.c_str(), name.c_str())) {
      Fill(data, state->folder + e->d_name, name);
      return true;
    }
  }
  return false;
}

}  // namespace

namespace platform {

bool MatchFileName(const char16_t* pattern, const char16_t* name) {
  size_t pn = u16len(pattern), nn = u16len(name);
  if (GlobMatch(pattern, pn, name, nn)) return true;
  // "x.*" also matches "x" (so "*.*" matches every name).
  if (pn >= 2 && pattern[pn - 2] == u'.' && pattern[pn - 1] == u'*')
    return GlobMatch(pattern, pn - 2, name, nn);
  // A trailing dot stands for "no extension".
  if (pn >= 1 && pattern[pn - 1] == u'.' && std::u16string_view(name, nn).find(u'.') ==
                                                std::u16string_view::npos)
    return GlobMatch(pattern, pn - 1, name, nn);
  return false;
}

}  // namespace platform

extern "C" {

BOOL CreateDirectoryW(const char16_t* path, void*) {
  std::string name;
  if (!path || !*path || !platform::ToFileName(path, name)) return FALSE;
  return mkdir(name.c_str(), 0777) == 0 ? TRUE : FALSE;
}

BOOL SetCurrentDirectoryW(const char16_t* path) {
  std::string name;
  if (!path || !*path || !platform::ToFileName(path, name)) return FALSE;
  return chdir(name.c_str()) == 0 ? TRUE : FALSE;
}

HANDLE FindFirstFileW(const char16_t* pattern, WIN32_FIND_DATAW* data) {
  if (!pattern || !data) return INVALID_HANDLE_VALUE;
  std::u16string full(pattern);
  size_t slash = full.rfind(u'/');
  std::u16string last = slash == std::u16string::npos ? full : full.substr(slash + 1);
  if (last.empty()) return INVALID_HANDLE_VALUE;
  std::string folder, lastBytes;
  if (!platform::ToFileName(full.substr(0, slash + 1), folder) ||
      !platform::ToFileName(last, lastBytes))
    return INVALID_HANDLE_VALUE;

  auto* state = new FindState;
  state->folder = folder;
  if (!HasWildcard(last)) {
    struct stat st;
    if (lstat((folder + lastBytes).c_str(), &st) != 0) {
      delete state;
      return INVALID_HANDLE_VALUE;
    }
    state->single = last;
    state->singleBytes = lastBytes;
    state->singlePending = true;
  } else {
    state->pattern = last;
    state->dir = opendir(state->folder.empty() ? "." : state->folder.c_str());
  }
  if (!NextEntry(state, data)) {
    FindClose(state);
    return INVALID_HANDLE_VALUE;
  }
  return state;
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) {
  if (!find || find == INVALID_HANDLE_VALUE || !data) return FALSE;
  return NextEntry(static_cast<FindState*>(find), data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE find) {
  if (!find || find == INVALID_HANDLE_VALUE) return FALSE;
  auto* state = static_cast<FindState*>(find);
  if (state->dir) closedir(state->dir);
  delete state;
  return TRUE;
}

}  // extern "C"
