// vekhost: HeadlessHost, the library's host without a window system.
// A host of the interpreter library without a window system: it binds the
// library exactly as the calculator does and serves the library's requests
// into text sinks. Used by vekrun, the tests, the benchmarks and the fuzzer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/wbexe.h"
#include "platform/window.h"

// While a host lives it is the process's message-box back end, so construct
// one at a time.
class HeadlessHost {
public:
  // The two exports, for hosts that link the interpreter instead of loading it.
  using Export = int32_t (*)(wbexe* block, const char16_t* text);
  // Gives the next input line (without its line end); false at the end of input.
  using InputSource = std::function<bool(std::u16string& line)>;
  // Receives UTF-8 text as it is produced.
  using Sink = std::function<void(std::string_view text)>;

  struct Options {
    bool answerNo = false;         // message requests are answered No (0), else Yes (1)
    long stepLimit = 0;            // > 0: a run is stopped after this many step requests
    std::vector<std::u16string> inputLines;  // answers to input requests, in order
    InputSource input;             // used once the queued lines are spent
    Sink output;                   // printed text; collected in output() when unset
    Sink errors;                   // messages; collected in errors() when unset
    std::u16string title;          // the host window's first title
    Export exec = nullptr;         // both set: called in place of the loaded library
    Export sub = nullptr;
    // Asked first for every request, with the request code; true when it has
    // served the request itself. Lets a test stand in for the calculator's
    // host commands and its answer to the interpreter reset.
    std::function<bool(HeadlessHost& host, int32_t code)> serve;
  };

  HeadlessHost();
  explicit HeadlessHost(Options options);
  ~HeadlessHost();
  HeadlessHost(const HeadlessHost&) = delete;
  HeadlessHost& operator=(const HeadlessHost&) = delete;

  // Runs a text through WBSub and returns its status (0 when the call failed).
  int32_t Run(std::u16string_view text);
  int32_t RunUtf8(std::string_view text);

  wbexe* block() const { return block_; }
  HWND window() const { return window_; }
  bool libraryLoaded() const { return block_ != nullptr && block_->library != nullptr; }

  const std::string& output() const { return output_; }
  const std::string& errors() const { return errors_; }
  void ClearText();

  // Statuses of the runs so far, oldest first.
  const std::vector<int32_t>& statuses() const { return statuses_; }
  int32_t lastStatus() const { return statuses_.empty() ? 0 : statuses_.back(); }
  // The block's error code as the last run left it.
  int32_t lastErrorCode() const { return lastErrorCode_; }
  // Step requests of the current (or last) run, and of the host's whole life.
  long steps() const { return steps_; }
  long totalSteps() const { return totalSteps_; }
  // Requests served, by code (index 0 counts unknown codes).
  long requests(int32_t code) const;

  // Called on every step request, after the step is counted and before the
  // step limit is applied: a test can resume a STOP pause from here.
  void SetStepHook(std::function<void(HeadlessHost& host)> hook) { stepHook_ = std::move(hook); }

  std::u16string title() const;

private:
  static LRESULT WindowHandler(void* context, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam);
  void Serve();
  void Emit(const Sink& sink, std::string& collected, std::string_view text);
  bool NextInput(std::u16string& line);

  Options options_;
  HWND window_ = 0;
  wbexe* block_ = nullptr;
  std::string output_;
  std::string errors_;
  std::vector<int32_t> statuses_;
  int32_t lastErrorCode_ = 0;
  long steps_ = 0;
  long totalSteps_ = 0;
  long requestCounts_[10] = {};
  size_t nextInput_ = 0;
  std::function<void(HeadlessHost&)> stepHook_;
  struct BoxBackend;
  BoxBackend* boxes_ = nullptr;
};
