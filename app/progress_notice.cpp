#include "app/progress_notice.h"

#include <cstdio>

#include "app/console.h"

namespace pavlex::app {

ProgressNotice::ProgressNotice(std::string what) : what_(std::move(what)), start_(std::chrono::steady_clock::now()) {
  if (IsTerminal(stderr)) watcher_ = std::thread([this] { watch(); });
}

ProgressNotice::~ProgressNotice() {
  if (!watcher_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  finished_.notify_all();
  watcher_.join();
  if (shown_) {
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start_;
    std::fprintf(stderr, " done (%.1f s)\n", took.count());
  }
}

void ProgressNotice::watch() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (finished_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; })) return;
  shown_ = true;
  std::fprintf(stderr, "pavlex: %s...", what_.c_str());
  std::fflush(stderr);
  // A dot every further second shows the work is still alive.
  while (!finished_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; })) {
    std::fputc('.', stderr);
    std::fflush(stderr);
  }
}

}  // namespace pavlex::app
