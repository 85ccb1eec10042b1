// Listens for the X server's bell on a connection of its own.
#pragma once

#include <string>

class BellListener {
public:
  explicit BellListener(const std::string& display);
  ~BellListener();
  BellListener(const BellListener&) = delete;
  BellListener& operator=(const BellListener&) = delete;
  bool Listening() const { return display_ != nullptr; }
  // True once the bell rang since the listener started, within the timeout.
  bool Rang(int timeoutMs);

private:
  void* display_ = nullptr;
  int event_ = 0;
};
