#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "app/child_processes.h"
#include "platform/command_line.h"

namespace pavlex::app {

namespace {

std::wstring Wide(const std::string& utf8) {
  return std::filesystem::u8path(utf8).wstring();
}

// A temporary file that goes when its last handle closes, inheritable so
// a child can take it as a standard stream.
HANDLE TemporaryFile() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"pvx", 0, name) == 0) {
    return INVALID_HANDLE_VALUE;
  }
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadAllFrom(HANDLE file) {
  std::string text;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return text;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  return text;
}

void CloseIfOpen(HANDLE handle) {
  if (handle != INVALID_HANDLE_VALUE && handle != nullptr) CloseHandle(handle);
}

}  // namespace

struct ChildProcesses::Running {
  HANDLE process = nullptr;
  size_t tag = 0;
  HANDLE out = INVALID_HANDLE_VALUE, err = INVALID_HANDLE_VALUE;
  ~Running() {
    CloseIfOpen(process);
    CloseIfOpen(out);
    CloseIfOpen(err);
  }
};

ChildProcesses::ChildProcesses() = default;

ChildProcesses::~ChildProcesses() {
  size_t tag = 0;
  ChildOutcome ignored;
  while (waitAny(&tag, &ignored)) {
  }
}

bool ChildProcesses::start(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& input, size_t tag, std::string* problem) {
  if (running_.size() >= capacity()) {
    *problem = "too many programs at once";
    return false;
  }
  auto child = std::make_unique<Running>();
  child->tag = tag;
  child->out = TemporaryFile();
  child->err = TemporaryFile();
  HANDLE in = TemporaryFile();
  DWORD wrote = 0;
  const bool ready = child->out != INVALID_HANDLE_VALUE && child->err != INVALID_HANDLE_VALUE &&
                     in != INVALID_HANDLE_VALUE &&
                     (input.empty() || (WriteFile(in, input.data(), static_cast<DWORD>(input.size()), &wrote, nullptr) &&
                                        wrote == input.size())) &&
                     SetFilePointer(in, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
  if (!ready) {
    CloseIfOpen(in);
    *problem = "cannot make its output buffers (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  std::wstring line;
  for (const std::string& arg : arguments) line += (line.empty() ? L"" : L" ") + platform::QuoteArgument(Wide(arg));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = child->out;
  startup.hStdError = child->err;
  PROCESS_INFORMATION process{};
  const std::wstring path = Wide(program);
  const BOOL started = CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &process);
  const DWORD failure = GetLastError();
  CloseIfOpen(in);
  if (!started) {
    *problem = "cannot start " + program + " (error " + std::to_string(failure) + ")";
    return false;
  }
  CloseHandle(process.hThread);
  child->process = process.hProcess;
  running_.push_back(std::move(child));
  return true;
}

bool ChildProcesses::waitAny(size_t* tag, ChildOutcome* outcome) {
  if (running_.empty()) return false;
  std::vector<HANDLE> processes;
  for (const auto& child : running_) processes.push_back(child->process);
  const DWORD result =
      WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), FALSE, INFINITE);
  const size_t offset = static_cast<size_t>(result - WAIT_OBJECT_0);
  const size_t index = offset < processes.size() ? offset : 0;
  std::unique_ptr<Running> done = std::move(running_[index]);
  running_.erase(running_.begin() + static_cast<std::ptrdiff_t>(index));
  if (result == WAIT_FAILED) WaitForSingleObject(done->process, INFINITE);
  *tag = done->tag;
  *outcome = ChildOutcome();
  outcome->started = true;
  DWORD code = 0;
  if (!GetExitCodeProcess(done->process, &code)) {
    outcome->crash = "ended without a status";
  } else if (code >= 0xC0000000u) {
    char text[32];
    std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(code));
    outcome->crash = text;
  } else {
    outcome->exitCode = static_cast<int>(code);
  }
  outcome->out = ReadAllFrom(done->out);
  outcome->err = ReadAllFrom(done->err);
  return true;
}

size_t ChildProcesses::running() const {
  return running_.size();
}

size_t ChildProcesses::capacity() {
  return MAXIMUM_WAIT_OBJECTS;
}

std::string OwnExecutable() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) {
      path.resize(length);
      return std::filesystem::path(path).u8string();
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace pavlex::app
