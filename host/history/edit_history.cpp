#include "host/history/edit_history.h"

#include <new>
#include <utility>

namespace pavlex::host {
namespace {

std::string Size(size_t bytes) {
  if (bytes < (size_t{1} << 20)) return std::to_string((bytes + 1023) >> 10) + " KiB";
  return std::to_string((bytes + (size_t{1} << 20) - 1) >> 20) + " MiB";
}

}  // namespace

EditHistory::EditHistory(size_t byteLimit) : byteLimit_(byteLimit) {}

EditHistory::~EditHistory() = default;

void EditHistory::begin(HostDocument& document) {
  if (recorder_ != nullptr || byteLimit_ == 0) return;
  // Step numbers are the stamps objects compare against; 0 never is one.
  if (nextStep_ == 0) nextStep_ = 1;
  recorder_ = std::make_unique<StepRecorder>(nextStep_++, byteLimit_, document);
}

void EditHistory::documentReplaced(DocumentImage old, HostDocument& now) {
  if (recorder_ != nullptr) recorder_->documentReplaced(std::move(old), now);
}

std::string EditHistory::end() {
  if (recorder_ == nullptr) return std::string();
  std::unique_ptr<HistoryStep> step = recorder_->finish();
  const bool overflowed = recorder_->overflowed();
  const size_t seen = recorder_->bytesSeen();
  recorder_.reset();
  if (overflowed) {
    const bool hadSteps = !steps_.empty();
    clear();
    const std::string why = seen > byteLimit_ ? "its changes need more than the history's limit of " + Size(byteLimit_)
                                              : "there was not enough memory to record its changes";
    return std::string("the last command cannot be undone") + (hadSteps ? ", nor anything before it" : "") + ": " +
           why;
  }
  if (step == nullptr) return std::string();
  settle_.reset();
  while (redoCount() > 0) dropNewest();
  bytes_ += step->bytes();
  steps_.push_back(std::move(step));
  ++done_;
  while (bytes_ > byteLimit_ && !steps_.empty()) dropOldest();
  return std::string();
}

bool EditHistory::undo(DocumentHolder& holder, std::string* error) {
  if (recorder_ != nullptr) {
    if (error != nullptr) *error = "cannot undo while a command is running";
    return false;
  }
  if (done_ == 0) {
    if (error != nullptr) *error = "nothing to undo";
    return false;
  }
  if (!revertSettle(holder, error)) return false;
  if (!steps_[done_ - 1]->undo(holder, error)) {
    clear();
    return false;
  }
  --done_;
  return true;
}

bool EditHistory::redo(DocumentHolder& holder, std::string* error) {
  if (recorder_ != nullptr) {
    if (error != nullptr) *error = "cannot redo while a command is running";
    return false;
  }
  if (done_ == steps_.size()) {
    if (error != nullptr) *error = "nothing to redo";
    return false;
  }
  if (!revertSettle(holder, error)) return false;
  if (!steps_[done_]->redo(holder, error)) {
    clear();
    return false;
  }
  ++done_;
  return true;
}

bool EditHistory::revertSettle(DocumentHolder& holder, std::string* error) {
  if (settle_ == nullptr) return true;
  const bool reverted = settle_->undo(holder, error);
  settle_.reset();
  if (!reverted) clear();
  return reverted;
}

void EditHistory::beginSettle(HostDocument& document) {
  settle_.reset();
  try {
    begin(document);
  } catch (const std::bad_alloc&) {
    clear();
  }
}

void EditHistory::endSettle() {
  if (recorder_ == nullptr) return;
  settle_ = recorder_->finish();
  const bool overflowed = recorder_->overflowed();
  recorder_.reset();
  if (overflowed) clear();  // the redraw changed more than can be taken back
}

void EditHistory::setByteLimit(size_t bytes) {
  byteLimit_ = bytes;
  while (bytes_ > byteLimit_ && done_ > 0) dropOldest();
  while (bytes_ > byteLimit_ && !steps_.empty()) dropNewest();
}

void EditHistory::clear() {
  settle_.reset();
  while (!steps_.empty()) dropNewest();
  done_ = 0;
}

// The oldest step holds the oldest documents, which no newer step refers to.
void EditHistory::dropOldest() {
  bytes_ -= steps_.front()->bytes();
  steps_.pop_front();
  if (done_ > 0) --done_;
}

// The newest step's documents are referred to by no older step.
void EditHistory::dropNewest() {
  bytes_ -= steps_.back()->bytes();
  steps_.pop_back();
  if (done_ > steps_.size()) done_ = steps_.size();
}

}  // namespace pavlex::host
