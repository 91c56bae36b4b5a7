#pragma once

#include <QString>
#include <string>
#include <vector>

#include "support/Messages.h"
#include "support/Prompt.h"

namespace dialvane {

// "Text Documents(*.txt)|*.txt|All Files(*.*)|*.*" as a Qt file-dialog filter.
QString QtFileFilter(const std::string& pipeFilter);

// Writes the lines (each ended by a line feed) to path atomically; on failure tells the user
// "Cannot write to file.Confirm whether or not the file is open." with the file name.
bool SaveLinesOrTell(IPrompt& prompt, const std::string& path,
                     const std::vector<std::string>& lines);

// A message box by the program's rules: a Yes/No question defaults to No, any other box to OK.
PromptAnswer AskBox(IPrompt& prompt, const std::string& text, Msg title, PromptButtons buttons,
                    PromptIcon icon);

}  // namespace dialvane
