#include "app/completion.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace pavlex::app {
namespace {

// The words of the command the cursor is in, as far as they are typed.
struct TypedWords {
  std::vector<std::string> words;  // unquoted; the last is the one being completed
  size_t lastStart = 0;            // where the last word begins
  bool quoted = false;             // the last word has a quote open
};

TypedWords ReadWords(const std::string& text) {
  TypedWords typed;
  bool inWord = false;
  char quote = 0;
  std::string word;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote == '"') {
      if (c == '\\' && i + 1 < text.size()) {
        word += text[++i];
      } else if (c == '"') {
        quote = 0;
      } else {
        word += c;
      }
      continue;
    }
    if (quote == '\'') {
      if (c == '\'') {
        quote = 0;
      } else {
        word += c;
      }
      continue;
    }
    if (c == ';') {  // a new command starts
      typed.words.clear();
      inWord = false;
      word.clear();
      continue;
    }
    if (c == ' ' || c == '\t') {
      if (inWord) typed.words.push_back(word);
      inWord = false;
      word.clear();
      continue;
    }
    if (!inWord) {
      inWord = true;
      start = i;
    }
    if (c == '"' || c == '\'') {
      quote = c;
    } else {
      word += c;
    }
  }
  if (!inWord) start = text.size();
  typed.words.push_back(word);
  typed.lastStart = start;
  typed.quoted = quote != 0;
  return typed;
}

bool NeedsQuotes(const std::string& word) {
  return word.find_first_of(" \t\"';\\") != std::string::npos;
}

// `word` in double quotes, left open when `close` is false.
std::string DoubleQuoted(const std::string& word, bool close) {
  std::string out = "\"";
  for (char c : word) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return close ? out + "\"" : out;
}

bool IsWidgetCommand(const std::string& command) {
  for (const char* name : {"press", "click", "check", "set", "minimize", "restore"}) {
    if (command == name) return true;
  }
  return false;
}

bool CommandActsOn(const std::string& command, const std::string& kind) {
  if (command == "press") return kind == "button";
  if (command == "click") return kind == "button" || kind == "checkbox";
  if (command == "check") return kind == "checkbox";
  if (command == "set") return kind == "spinbox" || kind == "doublespinbox" || kind == "edit";
  return kind == "groupbox";  // minimize, restore
}

bool IsFileCommand(const std::string& command) {
  return command == "open" || command == "save" || command == "layout";
}

std::vector<std::string> FileCandidates(const std::string& typed, const CompletionSources& sources,
                                        std::vector<bool>* folders) {
  std::vector<std::string> found;
  if (!sources.listFolder) return found;
  const size_t slash = typed.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? std::string() : typed.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? typed : typed.substr(slash + 1);
  std::vector<FolderEntry> entries = sources.listFolder(folder);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  for (const FolderEntry& entry : entries) {
    if (entry.name.compare(0, base.size(), base) != 0) continue;
    // Hidden files only when asked for by their dot.
    if (!entry.name.empty() && entry.name[0] == '.' && (base.empty() || base[0] != '.')) continue;
    found.push_back(folder + entry.name + (entry.folder ? "/" : ""));
    folders->push_back(entry.folder);
  }
  return found;
}

}  // namespace

std::vector<FolderEntry> ListFolderEntries(const std::string& folder) {
  std::vector<FolderEntry> entries;
  std::error_code failure;
  const std::filesystem::path path = folder.empty() ? std::filesystem::path(".") : std::filesystem::u8path(folder);
  for (std::filesystem::directory_iterator it(path, failure), end; !failure && it != end; it.increment(failure)) {
    std::error_code kindFailure;
    entries.push_back({it->path().filename().u8string(), it->is_directory(kindFailure)});
  }
  return entries;
}

std::string SharedPrefix(const std::vector<std::string>& candidates) {
  if (candidates.empty()) return std::string();
  std::string shared = candidates.front();
  for (const std::string& candidate : candidates) {
    size_t n = 0;
    while (n < shared.size() && n < candidate.size() && shared[n] == candidate[n]) ++n;
    shared.resize(n);
  }
  return shared;
}

Completion CompleteAtCursor(const std::string& beforeCursor, const CompletionSources& sources) {
  const TypedWords typed = ReadWords(beforeCursor);
  Completion completion;
  completion.start = typed.lastStart;
  completion.replacement = beforeCursor.substr(typed.lastStart);
  const std::string& partial = typed.words.back();
  const size_t index = typed.words.size() - 1;

  std::vector<std::string> pool;
  std::vector<bool> folders;
  if (index == 0 || (index == 1 && typed.words[0] == "help")) {
    pool = sources.commands;
  } else if (index == 1 && IsWidgetCommand(typed.words[0]) && sources.widgetPaths) {
    for (const WidgetName& widget : sources.widgetPaths()) {
      if (CommandActsOn(typed.words[0], widget.kind)) pool.push_back(widget.path);
    }
  } else if (index == 1 && IsFileCommand(typed.words[0])) {
    pool = FileCandidates(partial, sources, &folders);
  }
  std::vector<std::string> matches;
  bool folderMatch = false;
  for (size_t i = 0; i < pool.size(); ++i) {
    if (pool[i].compare(0, partial.size(), partial) != 0) continue;
    if (std::find(matches.begin(), matches.end(), pool[i]) != matches.end()) continue;
    matches.push_back(pool[i]);
    folderMatch = i < folders.size() && folders[i];
  }
  if (matches.empty()) return completion;
  std::sort(matches.begin(), matches.end());
  const bool quote = typed.quoted || NeedsQuotes(SharedPrefix(matches)) || (matches.size() == 1 && NeedsQuotes(matches[0]));
  if (matches.size() == 1) {
    const std::string& only = matches.front();
    if (folderMatch) {
      // The folder's files come next: the word stays open.
      completion.replacement = quote ? DoubleQuoted(only, false) : only;
    } else {
      completion.replacement = (quote ? DoubleQuoted(only, true) : only) + " ";
    }
    return completion;
  }
  const std::string shared = SharedPrefix(matches);
  completion.replacement = quote ? DoubleQuoted(shared, false) : shared;
  completion.choices = std::move(matches);
  return completion;
}

}  // namespace pavlex::app
