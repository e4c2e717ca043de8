// Tells a person at a terminal that slow work (loading, saving) is under
// way. Silent when stderr is not a terminal or the work ends within a
// second, so scripts and quick runs print nothing extra.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace pavlex::app {

class ProgressNotice {
 public:
  // `what` describes the work: "loading model.obj".
  explicit ProgressNotice(std::string what);
  // Ends the notice: "done (2.4 s)" when it was shown.
  ~ProgressNotice();
  ProgressNotice(const ProgressNotice&) = delete;
  ProgressNotice& operator=(const ProgressNotice&) = delete;

 private:
  void watch();

  std::string what_;
  std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
  std::condition_variable finished_;
  bool done_ = false;
  bool shown_ = false;
  std::thread watcher_;
};

}  // namespace pavlex::app
