// Whether two names lead to one file, and how a relative name written in
// one folder must be written in another: what a save needs so that it never
// writes two of its files into one, and so that the names it writes still
// lead where they led from the file that was read. Names are UTF-8.
#pragma once

#include <string>

namespace pavlex::host::obj {

// True when the two names lead to the same file as the file system would
// resolve them: an existing file reached by two paths (links, "..", "./"),
// or two names that would create one file (same folder and name; on
// Windows regardless of case).
bool SameFile(const std::string& a, const std::string& b);

// A text equal for two names exactly when SameFile would find them the same
// by name (hard links aside): for comparing many names at once.
std::string FileKey(const std::string& name);

// SameFile for folders; "" is the current folder.
bool SameFolder(const std::string& a, const std::string& b);

// `name`, relative to `fromFolder`, written so that it leads to the same
// file from `toFolder`: unchanged when it is rooted or the folders are the
// same; otherwise a relative name with '/' separators, or the full name
// when no relative one exists (another drive). A name that cannot be
// worked out is kept as it is.
std::string RebaseFileName(const std::string& name, const std::string& fromFolder, const std::string& toFolder);

// The file a name written in a file of `folder` leads to, as the readers
// open it: a rooted name as it is, otherwise the name inside `folder` (""
// is the current folder; a missing trailing separator is added).
std::string ResolveFileName(const std::string& folder, const std::string& name);

}  // namespace pavlex::host::obj
