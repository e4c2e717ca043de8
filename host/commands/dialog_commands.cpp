#include <string>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "hostapi/mq_codes.h"
#include "platform/text_conversion.h"

namespace pavlex::commands {
namespace {

// A box with nothing to choose: it reports, and OK only acknowledges.
bool IsOkOnly(const host::MessageBoxRequest& box) {
  return box.type.empty() || box.type == "ok";
}

}  // namespace

void RunAnswer(CommandInterpreter&, const Words&) {
  // A message box or save-file dialog takes its answer before commands run.
  throw CommandError("nothing is waiting for an answer");
}

int32_t AnswerMessageBox(CommandInterpreter& in, const host::MessageBoxRequest& box, int32_t fallback) {
  const std::string message = platform::Utf16ToUtf8(box.message);
  if (IsOkOnly(box)) {
    // Nothing to choose: acknowledged at once, and the command that caused
    // it did not do its work.
    if (in.commandRunning()) {
      in.fail(in.currentLine(), message);
    } else {
      in.report(message);
    }
    return MQMODALRESULT_OK;
  }
  const std::string what = "the message box \"" + message + "\"";
  const bool yesNo = box.type.find("yes") != std::string::npos;
  const ScriptLine opener = in.currentLine();
  ScriptLine line;
  while (!in.stopped() && in.nextInside(opener, what, &line)) {
    try {
      const Words words = TokenizeCommand(line.text);
      const std::string expected = yesNo ? "`answer yes` or `answer no`" : "`answer ok` or `answer cancel`";
      if (words.empty() || words[0] != "answer") throw CommandError(what + " is waiting for " + expected);
      NeedCount(words, 2, 2);
      if (yesNo && (words[1] == "yes" || words[1] == "no")) {
        return words[1] == "yes" ? MQMODALRESULT_YES : MQMODALRESULT_NO;
      }
      if (!yesNo && (words[1] == "ok" || words[1] == "cancel")) {
        return words[1] == "ok" ? MQMODALRESULT_OK : MQMODALRESULT_CANCEL;
      }
      throw CommandError(what + " takes " + expected + ", not '" + words[1] + "'");
    } catch (const CommandError& error) {
      in.fail(line, error.what());
    }
  }
  return fallback;
}

bool AnswerSaveFile(CommandInterpreter& in, host::SaveFileRequest& request) {
  const std::string what = "the save-file dialog '" + platform::Utf16ToUtf8(request.title) + "'";
  const ScriptLine opener = in.currentLine();
  ScriptLine line;
  while (!in.stopped() && in.nextInside(opener, what, &line)) {
    try {
      const Words words = TokenizeCommand(line.text);
      if (words.empty() || words[0] != "answer") {
        throw CommandError(what + " is waiting for `answer FILE` or `answer cancel`");
      }
      NeedCount(words, 2, 2);
      if (words[1] == "cancel") return false;
      request.fileName = platform::Utf8ToUtf16(words[1]);
      return true;
    } catch (const CommandError& error) {
      in.fail(line, error.what());
    }
  }
  return false;
}

}  // namespace pavlex::commands
