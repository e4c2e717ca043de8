#include "app/many_models.h"

#include <algorithm>
#include <cstdio>

#include "app/batch_progress.h"
#include "app/child_processes.h"
#include "app/console.h"
#include "app/model_names.h"
#include "host/commands/command_parser.h"
#include "host/obj/file_identity.h"

namespace pavlex::app {
namespace {

// Every line of `text`, each after `prefix`, the prefix `strip` taken off
// first where a line starts with it; a last line without its newline gets one.
std::string PrefixLines(const std::string& text, const std::string& prefix, const std::string& strip) {
  std::string result;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    size_t from = at;
    if (!strip.empty() && text.compare(at, strip.size(), strip) == 0) from += strip.size();
    result += prefix;
    result.append(text, from, end - from);
    result += '\n';
    at = end + 1;
  }
  return result;
}

void WriteText(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

std::vector<std::string> LayoutFileNames(const std::vector<commands::ScriptLine>& lines) {
  std::vector<std::string> names;
  for (const commands::ScriptLine& line : lines) {
    try {
      const std::vector<std::string> words = commands::TokenizeCommand(line.text);
      if (words.size() >= 2 && words[0] == "layout") names.push_back(words[1]);
    } catch (const commands::CommandError&) {
      // The check of the commands says what is wrong with it.
    }
  }
  return names;
}

std::optional<std::string> CheckOutputNames(const std::string& savePattern, const std::vector<std::string>& layoutNames,
                                            const std::vector<std::string>& models) {
  std::vector<std::pair<std::string, std::string>> patterns;  // pattern, where it was given
  if (!savePattern.empty()) patterns.emplace_back(savePattern, "-o");
  for (const std::string& name : layoutNames) patterns.emplace_back(name, "layout");
  std::vector<PlannedFile> files;
  for (size_t m = 0; m < models.size(); ++m) {
    if (!models[m].empty()) files.push_back({m, models[m], true});
  }
  for (const auto& [pattern, where] : patterns) {
    if (models.size() > 1 && !HasPlaceholder(pattern)) {
      return where + " '" + pattern + "': with several models every one would write this file; put {stem} in it (" +
             (where == "-o" ? "-o 'out/{stem}.obj'" : "layout 'png/{stem}.png'") + ")";
    }
    for (size_t m = 0; m < models.size(); ++m) {
      std::string name, error;
      if (!ExpandNamePattern(pattern, SplitModelName(models[m]), &name, &error)) return where + " " + error;
      files.push_back({m, name, false});
    }
  }
  return FindNameClash(files, models, [](const std::string& name) { return host::obj::FileKey(name); });
}

std::vector<std::string> OneModelArguments(const std::string& program, const ProgramOptions& options,
                                           const std::string& model) {
  // "--name=value" throughout: a value that starts with '-' stays a value.
  std::vector<std::string> args = {program, "--one-of-many"};
  if (!options.settingsPath.empty()) args.push_back("--settings=" + options.settingsPath);
  if (!options.pluginPath.empty()) args.push_back("--plugin=" + options.pluginPath);
  for (const CommandOption& option : options.commands) {
    args.push_back((option.isScript ? "--script=" : "--commands=") + option.text);
  }
  // The child expands the pattern from the same model name.
  if (!options.savePath.empty()) args.push_back("--save=" + options.savePath);
  args.push_back("--");
  args.push_back(model);
  return args;
}

int RunEachModel(const ProgramOptions& options, const std::string& stdinScript) {
  const std::string program = OwnExecutable();
  if (program.empty()) {
    std::fprintf(stderr, "pavlex: cannot find this program's own file to run the models\n");
    return kExitFailed;
  }
  const std::vector<std::string>& models = options.models;
  ChildProcesses children;
  const size_t jobs =
      std::max<size_t>(1, std::min({static_cast<size_t>(options.jobs), models.size(), ChildProcesses::capacity()}));
  BatchProgress progress(models.size(), IsTerminal(stderr));
  size_t next = 0, failed = 0;
  auto report = [&](size_t model, const ChildOutcome& outcome) {
    const bool ok = outcome.started && outcome.crash.empty() && outcome.exitCode == 0;
    const std::string& name = models[model];
    std::string err = PrefixLines(outcome.err, "pavlex: " + name + ": ", "pavlex: ");
    if (!outcome.started) {
      err += "pavlex: " + name + ": " + outcome.problem + "\n";
    } else if (!outcome.crash.empty()) {
      err += "pavlex: " + name + ": crashed (" + outcome.crash + ")\n";
    } else if (!ok && outcome.err.empty()) {
      err += "pavlex: " + name + ": failed (exit status " + std::to_string(outcome.exitCode) + ")\n";
    }
    const std::string out = PrefixLines(outcome.out, name + ": ", "");
    progress.printAbove([&] {
      WriteText(stdout, out);
      WriteText(stderr, err);
    });
    if (!ok) ++failed;
    progress.fileDone(!ok);
  };
  while (next < models.size() || children.running() > 0) {
    while (next < models.size() && children.running() < jobs) {
      const size_t model = next++;
      ChildOutcome outcome;
      if (!children.start(program, OneModelArguments(program, options, models[model]), stdinScript, model,
                          &outcome.problem)) {
        report(model, outcome);
      }
    }
    size_t model = 0;
    ChildOutcome outcome;
    if (children.waitAny(&model, &outcome)) report(model, outcome);
  }
  if (failed > 0) {
    progress.printAbove([&] {
      WriteText(stderr, "pavlex: " + std::to_string(failed) + " of " + std::to_string(models.size()) +
                            " models failed\n");
    });
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace pavlex::app
