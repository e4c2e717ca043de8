// Runs copies of this program side by side, each on its own standard
// streams: input from a given text, output and errors collected whole, so
// the caller prints each child's lines together instead of interleaved.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace pavlex::app {

// How one child ended.
struct ChildOutcome {
  bool started = false;  // false: `out`/`err` are empty and `problem` says why
  int exitCode = -1;     // the exit status when it exited; -1 otherwise
  std::string crash;     // how it died ("signal 11", "exception 0xC0000005"); empty when it exited
  std::string out, err;  // everything it wrote to stdout and stderr
  std::string problem;   // why it could not start
};

class ChildProcesses {
 public:
  ChildProcesses();
  ~ChildProcesses();  // waits for children still running
  ChildProcesses(const ChildProcesses&) = delete;
  ChildProcesses& operator=(const ChildProcesses&) = delete;

  // Starts `program` with `arguments` (UTF-8; the first is the program's
  // own name) and `input` on its standard input. Answers false with the
  // reason in `problem`, and nothing runs, when it could not start. `tag`
  // comes back from waitAny.
  bool start(const std::string& program, const std::vector<std::string>& arguments, const std::string& input,
             size_t tag, std::string* problem);
  // Blocks until a started child ends; false when none runs.
  bool waitAny(size_t* tag, ChildOutcome* outcome);
  size_t running() const;
  // The most children one object can run at once on this system.
  static size_t capacity();

 private:
  struct Running;
  std::vector<std::unique_ptr<Running>> running_;
};

// This program's own executable, to start copies of it; empty when the
// system cannot say.
std::string OwnExecutable();

}  // namespace pavlex::app
