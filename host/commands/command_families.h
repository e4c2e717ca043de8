// The checkers and runners the command table names, one source file per
// family of commands:
//   document_commands.cpp    open, save, close, object, material, delete, compact
//   visibility_commands.cpp  show, hide, lock, unlock
//   selection_commands.cpp   select, deselect
//   widget_commands.cpp      activate, deactivate, press, click, check, set,
//                            minimize, restore, draw
//   print_commands.cpp       print
//   dialog_commands.cpp      answer (and the answers message boxes and
//                            save-file dialogs wait for)
//   layout_commands.cpp      layout
//   history_commands.cpp     undo, redo
//   session_commands.cpp     help, quit
//   view_commands.cpp        screenshot, view, print geometry|point (the window's)
// A checker throws CommandError for words that cannot run; a runner may
// assume its checker passed.
#pragma once

#include <cstdint>
#include <string>

#include "host/commands/command_table.h"
#include "host/widgets/modal_requests.h"

namespace pavlex::commands {

void RunOpen(CommandInterpreter& in, const Words& words);
void RunSave(CommandInterpreter& in, const Words& words);
void RunClose(CommandInterpreter& in, const Words& words);
void RunObject(CommandInterpreter& in, const Words& words);
void RunMaterial(CommandInterpreter& in, const Words& words);
void CheckDelete(const Words& words);
void RunDelete(CommandInterpreter& in, const Words& words);
void RunCompact(CommandInterpreter& in, const Words& words);

void CheckVisibility(const Words& words);
void RunVisibility(CommandInterpreter& in, const Words& words);

void CheckSelection(const Words& words);
void RunSelection(CommandInterpreter& in, const Words& words);

void RunActivate(CommandInterpreter& in, const Words& words);
void RunDeactivate(CommandInterpreter& in, const Words& words);
void RunPress(CommandInterpreter& in, const Words& words);
void CheckClick(const Words& words);
void RunClick(CommandInterpreter& in, const Words& words);
void CheckCheck(const Words& words);
void RunCheck(CommandInterpreter& in, const Words& words);
void RunSet(CommandInterpreter& in, const Words& words);
void RunMinimize(CommandInterpreter& in, const Words& words);
void RunRestore(CommandInterpreter& in, const Words& words);
void RunDraw(CommandInterpreter& in, const Words& words);

void CheckPrint(const Words& words);
void RunPrint(CommandInterpreter& in, const Words& words);

void RunAnswer(CommandInterpreter& in, const Words& words);
// The answer the commands after the one that showed `box` give it;
// `fallback` when the run stops first. An OK-only box is acknowledged at
// once, and the command running fails with its message.
int32_t AnswerMessageBox(CommandInterpreter& in, const host::MessageBoxRequest& box, int32_t fallback);
// True when the next command named a file for the save-file dialog.
bool AnswerSaveFile(CommandInterpreter& in, host::SaveFileRequest& request);

void CheckLayout(const Words& words);
void RunLayout(CommandInterpreter& in, const Words& words);

// True for the commands that move through the history instead of making a
// step of their own.
bool RecordsNoStep(const std::string& name);
void RunUndo(CommandInterpreter& in, const Words& words);
void RunRedo(CommandInterpreter& in, const Words& words);
void RunScreenshot(CommandInterpreter& in, const Words& words);
void CheckView(const Words& words);
void RunView(CommandInterpreter& in, const Words& words);
void PrintGeometry(CommandInterpreter& in, const Words& words);
void CheckTexture(const Words& words);
void RunTexture(CommandInterpreter& in, const Words& words);
void CheckStretch(const Words& words);
void RunStretch(CommandInterpreter& in, const Words& words);
void PrintPoint(CommandInterpreter& in, const Words& words);

void RunHelp(CommandInterpreter& in, const Words& words);
void RunQuit(CommandInterpreter& in, const Words& words);

}  // namespace pavlex::commands
