// One set of commands over several models: the names each model's run
// writes are worked out and checked before anything runs, then every model
// runs in its own copy of this program, up to `jobs` at once, and its
// output is printed whole under its name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "host/commands/command_script.h"

namespace pavlex::app {

// The file names of `layout` commands among `lines` (their first argument).
std::vector<std::string> LayoutFileNames(const std::vector<commands::ScriptLine>& lines);

// Checks the `-o` pattern and every `layout` file name against `models`
// (the empty name is the built-in sample): unknown placeholders, a name
// without a placeholder when there are several models, and two models
// writing one file, or one model writing over another's input. Answers the
// problem, or nothing.
std::optional<std::string> CheckOutputNames(const std::string& savePattern, const std::vector<std::string>& layoutNames,
                                            const std::vector<std::string>& models);

// Runs every model of `options` in a child process, `stdinScript` as the
// text of every `-s -`. Answers the exit status: 1 when any model failed.
int RunEachModel(const ProgramOptions& options, const std::string& stdinScript);

// The arguments that run `model` alone with the commands and options of
// `options` (after `program`, the first argument).
std::vector<std::string> OneModelArguments(const std::string& program, const ProgramOptions& options,
                                           const std::string& model);

}  // namespace pavlex::app
