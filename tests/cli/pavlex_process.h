// Runs the real pavlex binary, as a user or a pipeline does, and collects
// its exit status and output. Every run gets its own settings file in a
// fresh scratch folder, so no test reads or writes the user's settings.
//
// The standard streams go through files, not pipes: the child can never
// block on a full pipe while the test waits for it to end.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "tests/support/temp_folder.h"

namespace pavlex::cli_test {

struct PavlexRun {
  // Exit status; on Linux 128 + signal when it died of one, on Windows the
  // exception code (0xC0000005...) when it crashed.
  long long status = -1;
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
using ScratchDir = testing::TempFolder;

#ifdef _WIN32
// Runs `command` with its standard streams on the three files; answers its
// exit code, -1 when it could not start.
inline long long RunWithFiles(const std::vector<std::string>& command, const std::filesystem::path& in,
                              const std::filesystem::path& out, const std::filesystem::path& err) {
  std::wstring line;
  for (const std::string& arg : command) {
    line += (line.empty() ? L"" : L" ") + platform::QuoteArgument(std::filesystem::u8path(arg).wstring());
  }
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  auto openStream = [&inherit](const std::filesystem::path& path, bool write) {
    // Shared in every way: the console helper Wine starts beside a console
    // program may still hold inherited handles for a moment after it ends.
    return CreateFileW(path.wstring().c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const HANDLE streams[3] = {openStream(in, false), openStream(out, true), openStream(err, true)};
  long long status = -1;
  if (streams[0] != INVALID_HANDLE_VALUE && streams[1] != INVALID_HANDLE_VALUE && streams[2] != INVALID_HANDLE_VALUE) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = streams[0];
    startup.hStdOutput = streams[1];
    startup.hStdError = streams[2];
    PROCESS_INFORMATION process{};
    const std::wstring program = std::filesystem::u8path(command.front()).wstring();
    if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &process)) {
      DWORD code = 0;
      if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
          GetExitCodeProcess(process.hProcess, &code)) {
        status = code;
      }
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }
  for (const HANDLE stream : streams) {
    if (stream != INVALID_HANDLE_VALUE) CloseHandle(stream);
  }
  return status;
}
#else
inline long long RunWithFiles(const std::vector<std::string>& command, const std::filesystem::path& in,
                              const std::filesystem::path& out, const std::filesystem::path& err) {
  std::vector<std::string> args = command;
  std::vector<char*> argv;
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
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  return -1;
}
#endif

// Runs `pavlex args...` with `input` on its standard input. Unless the
// arguments name one, the settings file lives in `scratch`.
inline PavlexRun RunPavlex(const ScratchDir& scratch, std::vector<std::string> args, const std::string& input = "") {
  bool hasSettings = false;
  for (const std::string& arg : args) hasSettings = hasSettings || arg == "--settings";
  if (!hasSettings) {
    args.push_back("--settings");
    args.push_back(scratch.file("settings.xml"));
  }
  const std::filesystem::path in = scratch / ".stdin", out = scratch / ".stdout", err = scratch / ".stderr";
  WriteAll(in, input);
  args.insert(args.begin(), PAVLEX_CLI_BINARY);
  PavlexRun run;
  run.status = RunWithFiles(args, in, out, err);
  run.out = ReadAll(out);
  run.err = ReadAll(err);
  return run;
}

// The path of a file of the shared test data ("obj/seams.obj").
inline std::string TestData(const std::string& name) {
  return std::string(PAVLEX_TEST_DATA_DIR) + "/" + name;
}

}  // namespace pavlex::cli_test
