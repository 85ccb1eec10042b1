// vekhost: HeadlessHost, the library's host without a window system.
#include "tools/vekhost.h"

#include "platform/dialogs.h"
#include "platform/text.h"

// Message boxes of the library and of the block's binding ("WB SYSTEM ERROR ",
// "cannot load VEK") go to the error sink as "caption: text", answered with
// their first button as the headless default does.
struct HeadlessHost::BoxBackend : platform::MessageBoxBackend {
  explicit BoxBackend(HeadlessHost* h) : host(h) {}
  int Show(HWND, const std::u16string& text, const std::u16string& caption,
           UINT type) override {
    host->Emit(host->options_.errors, host->errors_,
               platform::ToUtf8(caption) + ": " + platform::ToUtf8(text) + "\n");
    const UINT buttons = type & 0x0F;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
  }
  HeadlessHost* host;
};

namespace {
// Linked exports get the catch-all that wbexe::Exec and wbexe::Sub give the
// loaded ones, with the same box.
int32_t CallLinked(HeadlessHost::Export fn, wbexe* block, const char16_t* text,
                   const char* failure) {
  try {
    return fn(block, text);
  } catch (...) {
    MessageBoxA(block->hostWindow, failure, "WB", MB_ICONWARNING);
    return 0;
  }
}
}  // namespace

HeadlessHost::HeadlessHost() : HeadlessHost(Options{}) {}

HeadlessHost::HeadlessHost(Options options) : options_(std::move(options)) {
  boxes_ = new BoxBackend(this);
  platform::SetMessageBoxBackend(boxes_);
  window_ = platform::RegisterWindow(&HeadlessHost::WindowHandler, this);
  SetWindowTextW(window_, options_.title.c_str());
  // The calculator's sequence: construct the block (which loads the library
  // by its bare name), then one WBExec with the empty text.
  try {
    block_ = new wbexe(window_);
  } catch (...) {
    platform::UnregisterWindow(window_);
    platform::SetMessageBoxBackend(nullptr);
    delete boxes_;
    throw;
  }
  if (options_.exec != nullptr && options_.sub != nullptr) {
    CallLinked(options_.exec, block_, u"", "cannot load VEK ");
  } else {
    block_->Exec(u"");
  }
}

HeadlessHost::~HeadlessHost() {
  delete block_;
  platform::UnregisterWindow(window_);
  platform::SetMessageBoxBackend(nullptr);
  delete boxes_;
}

int32_t HeadlessHost::Run(std::u16string_view text) {
  const std::u16string terminated(text);
  steps_ = 0;
  block_->subName = u"";
  int32_t status;
  if (options_.exec != nullptr && options_.sub != nullptr) {
    status = CallLinked(options_.sub, block_, terminated.c_str(), "cannot load VEK");
  } else {
    status = block_->Sub(terminated.c_str());
  }
  statuses_.push_back(status);
  lastErrorCode_ = block_->errorCode;
  return status;
}

int32_t HeadlessHost::RunUtf8(std::string_view text) { return Run(platform::FromUtf8(text)); }

void HeadlessHost::ClearText() {
  output_.clear();
  errors_.clear();
}

long HeadlessHost::requests(int32_t code) const {
  return requestCounts_[code > 0 && code < 10 ? code : 0];
}

std::u16string HeadlessHost::title() const {
  char16_t buffer[1024];
  const int n = GetWindowTextW(window_, buffer, 1024);
  return std::u16string(buffer, static_cast<size_t>(n));
}

LRESULT HeadlessHost::WindowHandler(void* context, HWND, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_COPYDATA || lParam == 0) return 0;
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (data->dwData != 1) return 0;
  static_cast<HeadlessHost*>(context)->Serve();
  return 0;
}

void HeadlessHost::Emit(const Sink& sink, std::string& collected, std::string_view text) {
  if (sink) {
    sink(text);
  } else {
    collected.append(text);
  }
}

bool HeadlessHost::NextInput(std::u16string& line) {
  if (nextInput_ < options_.inputLines.size()) {
    line = options_.inputLines[nextInput_++];
    return true;
  }
  return options_.input && options_.input(line);
}

void HeadlessHost::Serve() {
  wbexe* block = block_;
  const int32_t code = block->request[0].AsInt();
  ++requestCounts_[code > 0 && code < 10 ? code : 0];
  if (options_.serve && options_.serve(*this, code)) return;
  switch (code) {
    case rqStep:
      ++steps_;
      ++totalSteps_;
      if (stepHook_) stepHook_(*this);
      if (options_.stepLimit > 0 && steps_ > options_.stepLimit) block->errorCode = erStop;
      break;
    case rqPrint:
      Emit(options_.output, output_, platform::ToUtf8(block->request[1].AsString()));
      break;
    case rqMessage:
      Emit(options_.errors, errors_, platform::ToUtf8(block->request[1].AsString()) + "\n");
      block->request[0].value = static_cast<int32_t>(options_.answerNo ? 0 : 1);
      break;
    case rqInput: {
      std::u16string line;
      if (!NextInput(line)) line.clear();
      // A line end that a source kept is not part of the answer.
      while (!line.empty() && (line.back() == u'\n' || line.back() == u'\r')) line.pop_back();
      block->request[0].value = line.c_str();
      break;
    }
    default:
      // rqCommand has no host commands here; rqControl and rqEnd need nothing.
      break;
  }
}
