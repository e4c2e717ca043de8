// Splitting file names into folder and name, the way the system running the
// host does: Windows takes "\" as well as "/" and has drive letters.
#pragma once

#include <string>
#include <string_view>

namespace pavlex::host::io {

#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "/\\";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

inline bool IsPathSeparator(char c) {
  return kPathSeparators.find(c) != std::string_view::npos;
}

// Position of the last separator, npos when there is none.
inline size_t LastPathSeparator(std::string_view path) {
  return path.find_last_of(kPathSeparators);
}

// A name that does not depend on the current folder ("/a", "C:\a", "\\server",
// and on Windows also "C:a" and "\a", which depend on the drive alone).
inline bool IsRootedPath(std::string_view path) {
  if (path.empty()) return false;
  if (IsPathSeparator(path.front())) return true;
#ifdef _WIN32
  if (path.size() >= 2 && path[1] == ':') return true;
#endif
  return false;
}

// The folder part with its trailing separator ("dir/" for "dir/a.obj"),
// empty for a bare name.
inline std::string FolderPartOf(const std::string& path) {
  const size_t slash = LastPathSeparator(path);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name after the last separator.
inline std::string NamePartOf(const std::string& path) {
  const size_t slash = LastPathSeparator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace pavlex::host::io
