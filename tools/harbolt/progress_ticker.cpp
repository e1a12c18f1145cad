#include "tools/harbolt/progress_ticker.h"

#include <cstdio>

#include "platform/console.h"

namespace harbolt_cli {
namespace {

// Calls shorter than this show nothing.
constexpr auto kDelay = std::chrono::milliseconds(400);
constexpr auto kInterval = std::chrono::milliseconds(200);
constexpr char kSpinner[] = "|/-\\";

}  // namespace

ProgressTicker::ProgressTicker(std::string label)
    : label_(std::move(label)), start_(std::chrono::steady_clock::now()) {
  if (platform::IsTerminal(platform::StandardStream::kOutput)) {
    thread_ = std::thread([this] { Run(); });
  }
}

ProgressTicker::~ProgressTicker() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
  if (shown_) {
    // Erase the line: carriage return, clear to the end of the line.
    std::fputs("\r\033[K", stdout);
    std::fflush(stdout);
  }
}

void ProgressTicker::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (wake_.wait_for(lock, kDelay, [this] { return stop_; })) return;
  for (unsigned tick = 0; !stop_; ++tick) {
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::printf("\r%c %s ... %.1f s", kSpinner[tick % 4], label_.c_str(), seconds);
    std::fflush(stdout);
    shown_ = true;
    wake_.wait_for(lock, kInterval, [this] { return stop_; });
  }
}

}  // namespace harbolt_cli
