// input: synthetic keyboard and mouse input, and the screen size.
#include "platform/input.h"

namespace {

std::vector<platform::InputEvent>& Recorded() {
  static std::vector<platform::InputEvent> events;
  return events;
}

platform::InputBackend& Headless() {
  static platform::InputBackend backend;
  return backend;
}

platform::InputBackend* installed = nullptr;

platform::InputBackend& Backend() { return installed ? *installed : Headless(); }

}  // namespace

namespace platform {

InputBackend::~InputBackend() = default;

void InputBackend::Key(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra) {
  Recorded().push_back({false, vk, scan, flags, 0, 0, 0, extra});
}

void InputBackend::Mouse(DWORD flags, DWORD dx, DWORD dy, DWORD data, uintptr_t extra) {
  Recorded().push_back({true, 0, 0, flags, dx, dy, data, extra});
}

int InputBackend::Metric(int index) {
  if (index == SM_CXSCREEN) return 1920;
  if (index == SM_CYSCREEN) return 1080;
  return 0;
}

bool InputBackend::IsKeyDown(int) { return false; }

void SetInputBackend(InputBackend* backend) { installed = backend; }

const std::vector<InputEvent>& RecordedInput() { return Recorded(); }

void ClearRecordedInput() { Recorded().clear(); }

}  // namespace platform

extern "C" {

void keybd_event(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra) {
  Backend().Key(vk, scan, flags, extra);
}

void mouse_event(DWORD flags, DWORD dx, DWORD dy, DWORD data, uintptr_t extra) {
  Backend().Mouse(flags, dx, dy, data, extra);
}

int GetSystemMetrics(int index) { return Backend().Metric(index); }

int16_t GetKeyState(int vk) { return Backend().IsKeyDown(vk) ? KEY_STATE_DOWN : 0; }

int16_t GetAsyncKeyState(int vk) { return Backend().IsKeyDown(vk) ? KEY_STATE_DOWN : 0; }

}  // extern "C"
