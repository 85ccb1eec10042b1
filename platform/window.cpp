// window: the window registry.
// Handlers run on the caller's thread with no lock held,
// since a handler may send further messages or register windows itself.
#include "platform/window.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace {

struct Window {
  WindowProc proc;
  void* context;
  platform::TitleChanged titleChanged;
  std::u16string title;
};

std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}

std::map<HWND, Window>& Registry() {
  static std::map<HWND, Window> windows;
  return windows;
}

HWND nextHandle = 1;

// Counts registrations and removals. Each thread remembers the handler it
// last sent to, together with this count: a script sends a message before
// every statement, and the remembered handler spares it the lock while no
// window has come or gone.
std::atomic<uint64_t> registryChanges{0};

struct LastTarget {
  uint64_t changes;
  HWND window;
  WindowProc proc;
  void* context;
};
__attribute__((tls_model("initial-exec"))) thread_local LastTarget lastTarget{0, 0, nullptr, nullptr};

// Makes `window` this thread's last target, under the lock; false when no
// such window is registered.
__attribute__((noinline)) bool LookUpTarget(HWND window) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  auto it = Registry().find(window);
  if (it == Registry().end()) return false;
  lastTarget = {registryChanges.load(std::memory_order_relaxed), window, it->second.proc, it->second.context};
  return true;
}

}  // namespace

namespace platform {

HWND RegisterWindow(WindowProc proc, void* context, TitleChanged titleChanged) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  auto& windows = Registry();
  // Handles are never reused while a window holds them; 0 stays "no window".
  while (nextHandle == 0 || windows.count(nextHandle) != 0) ++nextHandle;
  const HWND handle = nextHandle++;
  windows[handle] = Window{proc, context, titleChanged, {}};
  registryChanges.fetch_add(1, std::memory_order_release);
  return handle;
}

void UnregisterWindow(HWND window) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  Registry().erase(window);
  registryChanges.fetch_add(1, std::memory_order_release);
}

}  // namespace platform

extern "C" {

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LastTarget& last = lastTarget;
  const uint64_t changes = registryChanges.load(std::memory_order_acquire);
  if (last.window != window || last.changes != changes || changes == 0) {
    if (!LookUpTarget(window)) return 0;
  }
  if (last.proc == nullptr) return 0;
  return last.proc(last.context, window, message, wParam, lParam);
}

int GetWindowTextW(HWND window, char16_t* text, int max) {
  if (text == nullptr || max <= 0) return 0;
  std::lock_guard<std::mutex> guard(RegistryLock());
  auto it = Registry().find(window);
  if (it == Registry().end()) {
    text[0] = 0;
    return 0;
  }
  const std::u16string& title = it->second.title;
  const size_t n = std::min(title.size(), static_cast<size_t>(max - 1));
  title.copy(text, n);
  text[n] = 0;
  return static_cast<int>(n);
}

BOOL SetWindowTextW(HWND window, const char16_t* text) {
  platform::TitleChanged notify = nullptr;
  void* context = nullptr;
  std::u16string title = text != nullptr ? std::u16string(text) : std::u16string();
  {
    std::lock_guard<std::mutex> guard(RegistryLock());
    auto it = Registry().find(window);
    if (it == Registry().end()) return FALSE;
    it->second.title = title;
    notify = it->second.titleChanged;
    context = it->second.context;
  }
  if (notify != nullptr) notify(context, title.c_str());
  return TRUE;
}

}  // extern "C"
