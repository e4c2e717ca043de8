#include "host/obj/file_identity.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <exception>
#include <filesystem>
#include <system_error>

#include "host/io/path_names.h"

namespace pavlex::host::obj {
namespace {

namespace fs = std::filesystem;

// Absolute, with links and ".." resolved as far as the file system knows
// them: names of files that do not exist yet resolve through their folder.
fs::path FullForm(const fs::path& path) {
  std::error_code failure;
  fs::path absolute = fs::absolute(path, failure);
  if (failure) absolute = path;
  fs::path full = fs::weakly_canonical(absolute, failure);
  if (failure) full = absolute.lexically_normal();
  return full;
}

fs::path FolderPath(const std::string& folder) {
  // "dir/" names the folder itself; "" the current one.
  return fs::u8path(folder.empty() ? std::string(".") : folder) / ".";
}

bool SameName(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
  // The file system's own rule: ordinal, ignoring case.
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
#else
  return a.lexically_normal() == b.lexically_normal();
#endif
}

bool SamePath(const fs::path& a, const fs::path& b) {
  std::error_code failure;
  if (fs::equivalent(a, b, failure)) return true;
  return SameName(FullForm(a), FullForm(b));
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  try {
    return SamePath(fs::u8path(a), fs::u8path(b));
  } catch (const std::exception&) {
    // A name the system cannot even convert: only the text can tell.
    return a == b;
  }
}

std::string FileKey(const std::string& name) {
  try {
    const fs::path full = FullForm(fs::u8path(name)).lexically_normal();
#ifdef _WIN32
    // The file system's rule, ordinal and ignoring case, as SameName applies it.
    std::wstring text = full.wstring();
    if (!text.empty()) {
      CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return fs::path(text).u8string();
#else
    return full.u8string();
#endif
  } catch (const std::exception&) {
    return name;
  }
}

bool SameFolder(const std::string& a, const std::string& b) {
  try {
    return SamePath(FolderPath(a), FolderPath(b));
  } catch (const std::exception&) {
    return a == b;
  }
}

std::string ResolveFileName(const std::string& folder, const std::string& name) {
  if (folder.empty() || io::IsRootedPath(name)) return name;
  return io::IsPathSeparator(folder.back()) ? folder + name : folder + "/" + name;
}

std::string RebaseFileName(const std::string& name, const std::string& fromFolder, const std::string& toFolder) {
  if (name.empty() || io::IsRootedPath(name)) return name;
  try {
    const fs::path from = FullForm(FolderPath(fromFolder)), to = FullForm(FolderPath(toFolder));
    if (SamePath(from, to)) return name;
    const fs::path file = FullForm(from / fs::u8path(name));
    fs::path relative = file.lexically_relative(to);
    if (relative.empty()) relative = file;
    std::string rebased = relative.generic_u8string();
    // A leading '-' would read as an option of the map statement.
    if (!rebased.empty() && rebased.front() == '-') rebased = "./" + rebased;
    return rebased;
  } catch (const std::exception&) {
    return name;
  }
}

}  // namespace pavlex::host::obj
