#include "data/DialFileWriter.h"

#include "data/RecordKey.h"
#include "support/TextUtil.h"

namespace dialvane {

std::vector<KeyedLine> DialFileLines(const DialModel& model, const TProductInfo& product) {
    std::vector<KeyedLine> lines;
    for (int n = 1; n <= kMaxSpeedDials; ++n) {
        const SpeedDialEntry& entry = model.speedDials[n];
        if (entry.key.empty()) {
            continue;
        }
        const std::string keyword = product.NoKeyword() ? std::string() : Trim(entry.keyword);
        lines.push_back({entry.key, {entry.key, Trim(entry.name), entry.faxNumber, keyword}});
    }
    for (int g = 1; g <= kMaxGroups; ++g) {
        const GroupDialEntry& group = model.groups[g];
        if (group.number == 0 || group.members.empty()) {
            continue;
        }
        const std::string key = FormatRecordKey('G', group.number);
        KeyedLine line{key, {key, Trim(group.name)}};
        for (const GroupMember& member : group.members) {
            line.fields.push_back(FormatRecordKey(member.kind, member.number));
        }
        lines.push_back(std::move(line));
    }
    for (int b = 1; b <= kMaxBindings; ++b) {
        if (!model.bindings[b].empty()) {
            const std::string key = "W" + std::to_string(b);
            lines.push_back({key, {key, model.bindings[b]}});
        }
    }
    lines.push_back({"N", {"N", Trim(model.senderName)}});
    return lines;
}

bool SaveDialFile(const std::string& path, DialModel& model, const TProductInfo& product,
                  std::string* error, std::optional<FileEncoding> encoding) {
    if (!WriteDialLines(path, DialFileLines(model, product), error, kNewFileMode,
                        encoding.value_or(product.Rules().FileDefault()))) {
        return false;
    }
    model.modified.Clear();
    return true;
}

}  // namespace dialvane
