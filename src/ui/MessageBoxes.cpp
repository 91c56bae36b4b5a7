#include "ui/MessageBoxes.h"

#include "support/FileUtil.h"
#include "support/Prompt.h"
#include "ui/CaptionHelpers.h"

namespace dialvane {

QString QtFileFilter(const std::string& pipeFilter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= pipeFilter.size()) {
        const std::size_t bar = pipeFilter.find('|', start);
        parts.push_back(
            pipeFilter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    QStringList filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = Q(parts[i + 1]);
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(Q(TextBefore(parts[i], "(")) + " (" + pattern + ")");
    }
    return filters.join(QStringLiteral(";;"));
}

bool SaveLinesOrTell(IPrompt& prompt, const std::string& path,
                     const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += '\n';
    }
    if (WriteFileAtomic(path, bytes)) {
        return true;
    }
    AskBox(prompt, Text(Msg::SaveFileError) + "\n" + path, Msg::SaveFileErrorCaption,
           PromptButtons::Ok, PromptIcon::Stop);
    return false;
}

PromptAnswer AskBox(IPrompt& prompt, const std::string& text, Msg title, PromptButtons buttons,
                    PromptIcon icon) {
    PromptRequest box;
    box.text = text;
    box.title = Text(title);
    box.buttons = buttons;
    box.icon = icon;
    box.defaultAnswer = buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    return prompt.Ask(box);
}

}  // namespace dialvane
