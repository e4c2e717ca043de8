// The progress of a run over many models, as one line on stderr that
// redraws itself: how many files are done, how many failed, the time so
// far and an estimate of the time left. Drawn only on a terminal.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace pavlex::app {

// "1:05", "12:00:07"; negative or non-finite durations read "?".
std::string FormatDuration(double seconds);

// The line: "[#######.............] 37/200 files, 2 failed, 0:12 elapsed,
// about 0:53 left". The estimate is the mean time per finished file times
// the files left, divided among nothing: it already reflects how many run
// at once. No estimate before the first file is done.
std::string FormatBatchProgress(size_t done, size_t total, size_t failed, double elapsedSeconds);

class BatchProgress {
 public:
  // Draws on `stream` only when `draw`; otherwise every call just runs.
  BatchProgress(size_t total, bool draw, std::FILE* stream = stderr);
  // Leaves the last state on its own line.
  ~BatchProgress();
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  // One more file finished.
  void fileDone(bool failed);
  // Runs `print` with the bar wiped, then draws it again below what it
  // printed.
  void printAbove(const std::function<void()>& print);

 private:
  void drawLocked();
  void tick();

  const size_t total_;
  const bool draw_;
  std::FILE* stream_;
  const std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  size_t done_ = 0, failed_ = 0;
  size_t drawnWidth_ = 0;  // characters of the bar on the screen now
  std::thread ticker_;
};

}  // namespace pavlex::app
