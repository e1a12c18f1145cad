// Progress of a long call on a terminal: while the add-in works inside one
// call (an export or an import is a single call into it), a line with what
// is being done and the time spent so far, redrawn a few times a second and
// erased at the end. Nothing at all when standard output is not a terminal,
// nor for calls that end within a moment.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace harbolt_cli {

class ProgressTicker {
 public:
  // Starts showing label (after a short delay) when standard output is a
  // terminal.
  explicit ProgressTicker(std::string label);
  // Stops and erases the line.
  ~ProgressTicker();
  ProgressTicker(const ProgressTicker&) = delete;
  ProgressTicker& operator=(const ProgressTicker&) = delete;

 private:
  void Run();

  std::string label_;
  std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool shown_ = false;
  std::thread thread_;
};

}  // namespace harbolt_cli
