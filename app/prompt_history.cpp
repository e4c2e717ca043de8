#include "app/prompt_history.h"

#include <filesystem>
#include <system_error>

#include "host/io/file_read.h"
#include "platform/atomic_file.h"

namespace pavlex::app {
namespace {

// A history file is small; anything far larger is not one of ours.
constexpr uint64_t kMaxHistoryBytes = uint64_t{4} << 20;

}  // namespace

std::string HistoryPathBeside(const std::string& settingsPath) {
  if (settingsPath.empty()) return std::string();
  const std::filesystem::path settings = std::filesystem::u8path(settingsPath);
  return (settings.parent_path() / "history").u8string();
}

std::vector<std::string> ReadHistory(const std::string& path) {
  std::vector<std::string> entries;
  std::string text, reason;
  if (path.empty() ||
      host::io::ReadRegularFile(path, &text, &reason, kMaxHistoryBytes) != host::io::RegularFileRead::kOk) {
    return entries;
  }
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) entries.push_back(std::move(line));
    at = end + 1;
  }
  if (entries.size() > kHistoryEntries) {
    entries.erase(entries.begin(), entries.end() - static_cast<std::ptrdiff_t>(kHistoryEntries));
  }
  return entries;
}

std::vector<std::string> WithEntry(std::vector<std::string> entries, const std::string& line, size_t cap) {
  if (line.find_first_not_of(" \t") == std::string::npos) return entries;
  if (entries.empty() || entries.back() != line) entries.push_back(line);
  if (entries.size() > cap) entries.erase(entries.begin(), entries.end() - static_cast<std::ptrdiff_t>(cap));
  return entries;
}

bool AddToHistory(const std::string& path, const std::string& line, std::string* error) {
  const std::vector<std::string> entries = WithEntry(ReadHistory(path), line, kHistoryEntries);
  std::string text;
  for (const std::string& entry : entries) text += entry + "\n";
  const std::filesystem::path folder = std::filesystem::u8path(path).parent_path();
  std::error_code failure;
  if (!folder.empty()) std::filesystem::create_directories(folder, failure);
  platform::FileFailure problem;
  if (!platform::WriteFilesAtomically({{path, text}}, &problem)) {
    *error = problem.Message();
    return false;
  }
  return true;
}

}  // namespace pavlex::app
