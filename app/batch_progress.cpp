#include "app/batch_progress.h"

#include <algorithm>
#include <cmath>

namespace pavlex::app {

std::string FormatDuration(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0 || seconds > 3.6e8) return "?";
  const long long whole = std::llround(seconds);
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

std::string FormatBatchProgress(size_t done, size_t total, size_t failed, double elapsedSeconds) {
  constexpr size_t kWidth = 20;
  const size_t filled = total == 0 ? kWidth : std::min(kWidth, done * kWidth / total);
  std::string line = "[" + std::string(filled, '#') + std::string(kWidth - filled, '.') + "] ";
  line += std::to_string(done) + "/" + std::to_string(total) + " files";
  if (failed > 0) line += ", " + std::to_string(failed) + " failed";
  line += ", " + FormatDuration(elapsedSeconds) + " elapsed";
  if (done > 0 && done < total) {
    const double left = elapsedSeconds / static_cast<double>(done) * static_cast<double>(total - done);
    line += ", about " + FormatDuration(left) + " left";
  }
  return line;
}

BatchProgress::BatchProgress(size_t total, bool draw, std::FILE* stream)
    : total_(total), draw_(draw), stream_(stream), start_(std::chrono::steady_clock::now()) {
  if (!draw_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    drawLocked();
  }
  // The elapsed time moves on while every running file is still busy.
  ticker_ = std::thread([this] { tick(); });
}

BatchProgress::~BatchProgress() {
  if (!draw_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    drawLocked();
    std::fputc('\n', stream_);
    std::fflush(stream_);
  }
  stop_.notify_all();
  ticker_.join();
}

void BatchProgress::fileDone(bool failed) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++done_;
  if (failed) ++failed_;
  if (draw_) drawLocked();
}

void BatchProgress::printAbove(const std::function<void()>& print) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (draw_) {
    std::fprintf(stream_, "\r%*s\r", static_cast<int>(drawnWidth_), "");
    std::fflush(stream_);
    drawnWidth_ = 0;
  }
  print();
  if (draw_) drawLocked();
}

void BatchProgress::drawLocked() {
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  const std::string line = FormatBatchProgress(done_, total_, failed_, elapsed.count());
  // Blanks over what a longer line left; no terminal escapes, which not
  // every console reads.
  const int pad = drawnWidth_ > line.size() ? static_cast<int>(drawnWidth_ - line.size()) : 0;
  std::fprintf(stream_, "\r%s%*s", line.c_str(), pad, "");
  drawnWidth_ = line.size();
  std::fflush(stream_);
}

void BatchProgress::tick() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_.wait_for(lock, std::chrono::seconds(1), [this] { return stopping_; })) drawLocked();
}

}  // namespace pavlex::app
