// Runs the real pavlex binary, as a user or a pipeline does, and collects
// its exit status and output. Every run gets its own settings file in a
// fresh scratch folder, so no test reads or writes the user's settings.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pavlex::cli_test {

struct PavlexRun {
  int status = -1;  // exit status; 128 + signal when it died of one
  std::string out;
  std::string err;
};

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteAll(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A scratch folder removed at the end of the test.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pavlex-cli-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs `pavlex args...` with `input` on its standard input. Unless the
// arguments name one, the settings file lives in `scratch`.
inline PavlexRun RunPavlex(const ScratchDir& scratch, std::vector<std::string> args, const std::string& input = "") {
  bool hasSettings = false;
  for (const std::string& arg : args) hasSettings = hasSettings || arg == "--settings";
  if (!hasSettings) {
    args.push_back("--settings");
    args.push_back((scratch / "settings.xml").string());
  }
  const std::filesystem::path in = scratch / ".stdin", out = scratch / ".stdout", err = scratch / ".stderr";
  WriteAll(in, input);
  std::vector<char*> argv;
  std::string binary = PAVLEX_CLI_BINARY;
  argv.push_back(binary.data());
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int fdIn = open(in.c_str(), O_RDONLY);
    const int fdOut = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int fdErr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fdIn, 0);
    dup2(fdOut, 1);
    dup2(fdErr, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  PavlexRun run;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child) {
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  run.out = ReadAll(out);
  run.err = ReadAll(err);
  return run;
}

// The path of a file of the shared test data ("obj/seams.obj").
inline std::string TestData(const std::string& name) {
  return std::string(PAVLEX_TEST_DATA_DIR) + "/" + name;
}

}  // namespace pavlex::cli_test
