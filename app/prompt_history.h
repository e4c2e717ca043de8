// The prompt's history file: the commands typed at earlier prompts, one a
// line, oldest first, beside the settings file. Every entry is written as
// it is typed, so a prompt killed with its terminal keeps what came before,
// and two prompts at once both keep theirs.
#pragma once

#include <string>
#include <vector>

namespace pavlex::app {

// The most entries the file keeps; older ones are dropped.
constexpr size_t kHistoryEntries = 1000;

// The history file beside `settingsPath` ("history" in its folder); empty
// when there is no settings path.
std::string HistoryPathBeside(const std::string& settingsPath);

// The entries of the file, oldest first; none when it is missing or
// unreadable. Lines past the cap and blank lines are skipped.
std::vector<std::string> ReadHistory(const std::string& path);

// `entries` with `line` added: a line equal to the newest entry is not
// repeated, blank ones are not kept, and only the newest `cap` stay.
std::vector<std::string> WithEntry(std::vector<std::string> entries, const std::string& line, size_t cap);

// Adds `line` to the file as it is now (another prompt may have added to
// it), atomically; creates its folder. False with a reason in `error`.
bool AddToHistory(const std::string& path, const std::string& line, std::string* error);

}  // namespace pavlex::app
