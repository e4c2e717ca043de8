// The host's undo and redo: a list of steps (history_step.h), one per user
// command that changed the document, capped by the bytes they hold.
//
// A session begins a step before each user command and ends it after; the
// step is kept only when the command changed something, and keeping it
// drops the steps that were undone. Past the cap the oldest steps go. A
// command whose own changes exceed the cap (or that ran out of memory while
// they were recorded) cannot be undone, and neither can anything before it:
// the history is cleared and end() says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "host/history/history_step.h"

namespace pavlex::host {

class EditHistory {
 public:
  static constexpr size_t kDefaultByteLimit = size_t{256} << 20;  // 256 MiB

  explicit EditHistory(size_t byteLimit = kDefaultByteLimit);
  ~EditHistory();
  EditHistory(const EditHistory&) = delete;
  EditHistory& operator=(const EditHistory&) = delete;

  // --- recording --------------------------------------------------------------
  bool recording() const { return recorder_ != nullptr; }
  // Starts recording a step on `document` (nothing when one is recorded
  // already, or when the limit is 0: the history is off). Throws
  // std::bad_alloc having started nothing.
  void begin(HostDocument& document);
  // The document was replaced during the step (open, close).
  void documentReplaced(DocumentImage old, HostDocument& now);
  // Ends the step. Empty, or a notice for the user when the history had to
  // be cleared.
  std::string end();

  // --- undo and redo ------------------------------------------------------------
  // False with a reason ("nothing to undo") when there is no step to undo or
  // it no longer fits the document (the history is cleared then).
  //
  // What the redraw after an undo or redo changes (plug-ins re-applying UV
  // locks) is recorded between beginSettle() and endSettle() and taken back
  // before the next undo or redo, so the steps' images stay exact; a new
  // step keeps it as part of the document it started from.
  bool undo(DocumentHolder& holder, std::string* error);
  bool redo(DocumentHolder& holder, std::string* error);
  void beginSettle(HostDocument& document);
  void endSettle();
  size_t undoCount() const { return done_; }
  size_t redoCount() const { return steps_.size() - done_; }
  // What the kept steps hold, and the cap on it.
  size_t bytes() const { return bytes_; }
  size_t byteLimit() const { return byteLimit_; }
  // Drops the oldest steps (then the newest undone ones) until the rest fit.
  void setByteLimit(size_t bytes);
  void clear();

 private:
  void dropOldest();
  void dropNewest();
  bool revertSettle(DocumentHolder& holder, std::string* error);

  std::deque<std::unique_ptr<HistoryStep>> steps_;  // oldest first
  size_t done_ = 0;                                 // steps_[0, done_) can be undone, the rest redone
  std::unique_ptr<StepRecorder> recorder_;
  std::unique_ptr<HistoryStep> settle_;  // the redraw's changes after the last undo or redo
  uint32_t nextStep_ = 1;
  size_t bytes_ = 0;
  size_t byteLimit_;
};

}  // namespace pavlex::host
