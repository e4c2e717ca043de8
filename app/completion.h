// What Tab completes at the pavlex prompt: command names, widget paths
// (quoted when they hold blanks) after the commands that take one, and file
// names after open, save and layout. Pure: the names come from the caller.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pavlex::app {

// One entry of a folder listing.
struct FolderEntry {
  std::string name;
  bool folder = false;
};

// A widget a command can reach now.
struct WidgetName {
  std::string path;
  std::string kind;  // the host's type name: "button", "checkbox", "doublespinbox", ...
};

// Where the candidates come from.
struct CompletionSources {
  std::vector<std::string> commands;                   // every command name
  std::function<std::vector<WidgetName>()> widgetPaths;  // the widgets the commands reach now
  // The entries of a folder ("" is the current one); none when unreadable.
  std::function<std::vector<FolderEntry>(const std::string& folder)> listFolder;
};

// What Tab does to the word before the cursor.
struct Completion {
  size_t start = 0;             // where the word begins in the line (its opening quote included)
  std::string replacement;      // the text for [start, cursor): the word as typed when nothing fits
  std::vector<std::string> choices;  // every candidate when several fit, to list
};

// Completes the last word of `beforeCursor`, the line up to the cursor. A
// single candidate is written whole, quoted as the command language reads
// it, and followed by a blank (a folder by its '/'); several are written
// up to what they share. Widget paths are those of the kinds the command
// acts on: buttons to press, check boxes to check, boxes to set, groups to
// fold.
Completion CompleteAtCursor(const std::string& beforeCursor, const CompletionSources& sources);

// The entries of `folder` as written at the prompt ("" the current folder,
// "art/" a folder in it); none when it cannot be read.
std::vector<FolderEntry> ListFolderEntries(const std::string& folder);

// The longest text every candidate starts with.
std::string SharedPrefix(const std::vector<std::string>& candidates);

}  // namespace pavlex::app
