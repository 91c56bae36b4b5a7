#include "data/DialFileLoader.h"

#include <algorithm>
#include <array>

#include "data/CharConv.h"
#include "data/DialFileLine.h"
#include "data/ModeMessages.h"
#include "data/RecordKey.h"
#include "data/TextChecks.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

using LineRefs = std::vector<unsigned>;

std::string FormatRefs(const LineRefs& refs) {
    std::string text;
    for (unsigned line : refs) {
        text += Format("(%u)", line);
    }
    return text;
}

bool Blank(std::string_view field) {
    return Trim(field).empty();
}

// The fields of one line with the blank ones removed. A blank name between a speed-dial or group
// key and further data keeps its place: the writers put it there, and removing it would shift the
// fax number into the name (or the first member into the group name).
std::vector<std::string> NonBlankFields(std::vector<std::string> fields) {
    bool keepEmptyName = false;
    if (fields.size() >= 3 && Blank(fields[1])) {
        const std::string key = Trim(fields[0]);
        if (!key.empty() && (key[0] == 'S' || key[0] == 'G')) {
            keepEmptyName = std::any_of(fields.begin() + 2, fields.end(),
                                        [](const std::string& f) { return !Blank(f); });
        }
    }
    std::vector<std::string> kept;
    kept.reserve(fields.size());
    for (size_t k = 0; k < fields.size(); ++k) {
        if (k == 1 && keepEmptyName) {
            kept.emplace_back();
        } else if (!Blank(fields[k])) {
            kept.push_back(std::move(fields[k]));
        }
    }
    return kept;
}

class Loader {
  public:
    Loader(DialModel& model, const TProductInfo& product)
        : model_(model),
          // The model has room for 200 speed dials and 12 bindings whatever the settings say.
          speedLimit_(std::clamp(product.SpeedDial(), 0, kMaxSpeedDials)),
          quickLimit_(std::clamp(product.QuickDial(), 0, kMaxBindings)),
          keywords_(!product.NoKeyword()),
          oneTouch_(product.OneTouch()),
          rules_(product.Rules()) {}

    std::vector<std::string> Run(std::string_view text) {
        const std::vector<std::string> lines = SplitLines(text);
        for (size_t i = 0; i < lines.size(); ++i) {
            ReadLine(static_cast<unsigned>(i + 1), lines[i]);
        }
        ReportDuplicates();
        if (!memberDefinitionError_) {
            ResolveGroupMembers();
        }
        CheckBindingTargets();
        return std::move(errors_);
    }

    bool CharacterErrors() const { return characterErrors_; }

  private:
    static std::string Prefix(unsigned line) { return Text(Msg::LoadLinePrefix, line); }

    void AddError(unsigned line, const std::string& message) {
        errors_.push_back(Prefix(line) + message);
    }

    // An error of the text checks: the one a file in the wrong encoding gives.
    void AddTextError(unsigned line, const std::string& message) {
        characterErrors_ = true;
        AddError(line, message);
    }

    void ReadLine(unsigned line, std::string_view text) {
        std::vector<std::string> fields = NonBlankFields(SplitDialLine(text));
        if (fields.empty()) {
            return;
        }
        // Blanks and control characters around a field are no part of it, here as in the strict
        // gate and the device encoding: what the user is told is fine is what the MFP stores.
        for (std::string& field : fields) {
            field = Trim(field);
        }
        const std::string& key = fields[0];
        char letter = 0;
        int number = 0;
        if (key[0] == 'N') {
            letter = 'N';
            if (key != "N") {
                AddError(line, Text(Msg::LoadFormAbnormal, key));
                return;
            }
        } else if (!ParseRecordKey(key, letter, number) ||
                   (letter != 'S' && letter != 'G' && letter != 'W')) {
            AddError(line, Text(Msg::LoadFormAbnormal, key));
            return;
        }
        switch (letter) {
            case 'S':
                SpeedDialLine(line, number, fields);
                break;
            case 'G':
                GroupLine(line, number, fields);
                break;
            case 'W':
                BindingLine(line, number, fields);
                break;
            default:
                SenderLine(line, fields);
                break;
        }
    }

    void SpeedDialLine(unsigned line, int number, std::vector<std::string>& fields) {
        if (fields.size() == 2) {
            fields.insert(fields.begin() + 1, std::string());
        }
        if (fields.size() == 3) {
            fields.emplace_back();
        }
        if (fields.size() != 4) {
            AddError(line, Text(Msg::LoadSpeedTooManyElements, 3u, fields.size()));
            return;
        }
        if (number < 1 || number > speedLimit_) {
            AddError(line, Text(Msg::LoadSpeedNumberAbnormal, speedLimit_, number));
            return;
        }
        speedRefs_[number].push_back(line);

        const std::string& name = fields[1];
        const std::string& fax = fields[2];
        const std::string& keyword = fields[3];
        SpeedDialEntry& entry = model_.speedDials[number];
        entry.key = FormatRecordKey('S', number);
        entry.name = name;
        entry.keyword = keywords_ ? keyword : std::string();
        entry.faxNumber = fax;
        entry.groupMask.assign(kMaxGroups, '0');

        switch (CheckNameText(name, kNameMaxBytes, rules_).code) {
            case kCheckTooLong:
                AddTextError(line, Text(Msg::LoadSpeedDataTooLong, kNameMaxBytes / 2, name));
                break;
            case kCheckIllegal:
                AddTextError(line, Text(Msg::LoadSpeedItemAbnormal, name));
                break;
            default:
                break;
        }
        std::string invalid;
        switch (CheckFaxNumber(fax, &invalid)) {
            case kCheckTooLong:
                AddTextError(line, Text(Msg::LoadSpeedFaxTooLong, kFaxMaxChars, fax));
                break;
            case kCheckIllegal:
                AddTextError(line, Text(Msg::LoadSpeedFaxAbnormal, kFaxCharacters, fax, invalid));
                break;
            default:
                break;
        }
        if (keywords_) {
            switch (CheckKeywordText(keyword, kKeywordMaxBytes).code) {
                case kCheckTooLong:
                    AddTextError(line,
                                 Text(Msg::LoadSpeedDataTooLong, kKeywordMaxBytes / 2, keyword));
                    break;
                case kCheckIllegal:
                    AddTextError(line, Text(Msg::LoadSpeedItemAbnormal, keyword));
                    break;
                default:
                    break;
            }
        }
    }

    void GroupLine(unsigned line, int number, const std::vector<std::string>& fields) {
        constexpr unsigned kMinFields = 3, kMaxFields = 2 + kMaxGroupMembers;
        if (fields.size() < kMinFields || fields.size() > kMaxFields) {
            AddError(line,
                     Text(Msg::LoadGroupTooManyElements, kMinFields, kMaxFields, fields.size()));
            return;
        }
        if (number < 1 || number > kMaxGroups) {
            AddError(line, Text(Msg::LoadGroupNumberAbnormal, kMaxGroups, number));
            return;
        }
        groupRefs_[number].push_back(line);

        const std::string& name = fields[1];
        // A repeated group line adds its members to the earlier line's (its number is reported
        // as duplicated), so member positions count on from there.
        model_.groupDisplay[number] =
            GroupDisplay{FormatRecordKey('G', number), name, "", std::string(kMaxGroups, '0')};
        switch (CheckNameText(name, kNameMaxBytes, rules_).code) {
            case kCheckTooLong:
                AddTextError(line, Text(Msg::LoadGroupDataTooLong, kNameMaxBytes / 2, name));
                break;
            case kCheckIllegal:
                AddTextError(line, Text(Msg::LoadGroupItemAbnormal, name));
                break;
            default:
                break;
        }
        GroupDialEntry& group = model_.groups[number];
        for (size_t k = 2; k < fields.size(); ++k) {
            const unsigned position = static_cast<unsigned>(k - 1);
            char letter = 0;
            int member = 0;
            if (!ParseRecordKey(fields[k], letter, member) || letter != 'S' || member < 1 ||
                member > speedLimit_) {
                AddError(line, Text(Msg::LoadGroupMemberAbnormal, position, fields[k]));
                memberDefinitionError_ = true;
                continue;
            }
            group.members.push_back(GroupMember{'S', member});
            group.number = number;
            group.name = name;
            group.recordText.clear();
        }
    }

    void BindingLine(unsigned line, int number, const std::vector<std::string>& fields) {
        if (fields.size() > 2) {
            AddError(line, Format(ModeText(ModeMessage::FileTooManyFields, oneTouch_), 2u,
                                  fields.size()));
            return;
        }
        if (number < 1 || number > quickLimit_) {
            AddError(line, Text(Msg::FileBindingNumberRange, quickLimit_, number));
            return;
        }
        bindingRefs_[number].push_back(line);

        std::string& binding = model_.bindings[number];
        if (fields.size() == 1) {
            binding.clear();
            return;
        }
        char letter = 0;
        int target = 0;
        const bool parsed = ParseRecordKey(fields[1], letter, target);
        if (parsed && ((letter == 'S' && target >= 1 && target <= speedLimit_) ||
                       (letter == 'G' && target >= 1 && target <= kMaxGroups))) {
            binding = FormatRecordKey(letter, target);
        } else {
            // The binding keeps what an earlier line gave it.
            AddError(line, Format(ModeText(ModeMessage::FileBadBinding, oneTouch_), fields[1]));
        }
    }

    void SenderLine(unsigned line, const std::vector<std::string>& fields) {
        senderRefs_.push_back(line);
        if (fields.size() > 2) {
            AddError(line, Text(Msg::LoadSenderTooManyElements, 2u, fields.size()));
            return;
        }
        if (fields.size() == 1) {
            model_.senderName.clear();
            return;
        }
        const std::string& name = fields[1];
        switch (CheckNameText(name, kSenderMaxBytes, rules_).code) {
            case kCheckTooLong:
                AddTextError(line, Text(Msg::LoadSenderDataTooLong, kSenderMaxBytes / 2, name));
                break;
            case kCheckIllegal:
                AddTextError(line, Text(Msg::LoadSenderItemAbnormal, name));
                break;
            default:
                model_.senderName = name;
                break;
        }
    }

    void ReportDuplicates() {
        for (int n = 1; n <= kMaxSpeedDials; ++n) {
            if (speedRefs_[n].size() > 1) {
                errors_.push_back(Text(Msg::LoadSpeedDuplicate, FormatRefs(speedRefs_[n]),
                                       FormatRecordKey('S', n)));
            }
        }
        for (int n = 1; n <= kMaxGroups; ++n) {
            if (groupRefs_[n].size() > 1) {
                errors_.push_back(Text(Msg::LoadGroupDuplicate, FormatRefs(groupRefs_[n]),
                                       FormatRecordKey('G', n)));
            }
        }
        for (int n = 1; n <= quickLimit_; ++n) {
            if (bindingRefs_[n].size() > 1) {
                errors_.push_back(Format(ModeText(ModeMessage::FileDuplicate, oneTouch_),
                                         FormatRefs(bindingRefs_[n]), FormatRecordKey('W', n)));
            }
        }
        if (senderRefs_.size() > 1) {
            errors_.push_back(Text(Msg::LoadSenderDuplicate, FormatRefs(senderRefs_), "N"));
        }
    }

    void ResolveGroupMembers() {
        for (int g = 1; g <= kMaxGroups; ++g) {
            GroupDialEntry& group = model_.groups[g];
            if (group.number == 0 || groupRefs_[g].empty()) {
                continue;
            }
            const unsigned line = groupRefs_[g].back();
            std::string recordText;
            bool first = true;
            for (size_t p = 0; p < group.members.size(); ++p) {
                const int member = group.members[p].number;
                if (model_.speedDials[member].key.empty()) {
                    AddError(line,
                             Text(Msg::LoadGroupMemberNotRegistered, static_cast<unsigned>(p + 1),
                                  FormatRecordKey('S', member)));
                    continue;
                }
                model_.SetMembership(member, g);
                if (!first) {
                    recordText += ',';
                }
                recordText += model_.speedDials[member].name;
                first = false;
            }
            group.recordText = recordText;
            model_.groupDisplay[g].recordText = recordText;
        }
    }

    void CheckBindingTargets() {
        for (int n = 1; n <= quickLimit_; ++n) {
            const std::string& binding = model_.bindings[n];
            if (binding.empty() || bindingRefs_[n].empty()) {
                continue;
            }
            char letter = 0;
            int target = 0;
            bool registered = false;
            if (ParseRecordKey(binding, letter, target)) {
                if (letter == 'S' && target >= 1 && target <= kMaxSpeedDials) {
                    registered = !model_.speedDials[target].key.empty();
                } else if (letter == 'G' && target >= 1 && target <= kMaxGroups) {
                    registered = !model_.groupDisplay[target].key.empty();
                }
            }
            if (!registered) {
                AddError(bindingRefs_[n].back(),
                         Format(ModeText(ModeMessage::FileNotRegistered, oneTouch_), binding));
            }
        }
    }

    DialModel& model_;
    const int speedLimit_;
    const int quickLimit_;
    const bool keywords_;
    const bool oneTouch_;
    const TextRules rules_;
    std::vector<std::string> errors_;
    std::array<LineRefs, kMaxSpeedDials + 1> speedRefs_;
    std::array<LineRefs, kMaxGroups + 1> groupRefs_;
    std::array<LineRefs, kMaxBindings + 1> bindingRefs_;
    LineRefs senderRefs_;
    bool memberDefinitionError_ = false;
    bool characterErrors_ = false;
};

}  // namespace

LoadResult LoadDialBytes(std::string_view fileBytes, DialModel& model, const TProductInfo& product,
                         std::optional<FileEncoding> requested) {
    const FileEncoding encoding = requested.value_or(product.Rules().FileDefault());
    model.Clear();
    Loader loader(model, product);
    LoadResult result;
    result.errorLines = loader.Run(FileBytesToUtf8(fileBytes, encoding));
    result.looksLikeUtf8 = !ReadsAsUtf8(fileBytes, encoding) && IsUtf8WithNonAscii(fileBytes);
    result.characterErrors = loader.CharacterErrors();
    result.encoding =
        fileBytes.starts_with(kUtf8ByteOrderMark) ? FileEncoding::Utf8Marked : encoding;
    return result;
}

std::vector<std::string> LoadDialText(std::string_view fileBytes, DialModel& model,
                                      const TProductInfo& product) {
    return LoadDialBytes(fileBytes, model, product).errorLines;
}

LoadResult LoadDialFile(const std::string& path, DialModel& model, const TProductInfo& product,
                        std::optional<FileEncoding> encoding) {
    LoadResult result;
    model.Clear();
    if (path.empty()) {
        return result;
    }
    if (ExceedsUserFileLimit(path)) {
        result.readable = false;
        result.readError = Text(Msg::FileTooLarge) + "(" + path + ")";
        return result;
    }
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        result.readable = false;
        const std::string why = WhyNotReadable(path);
        result.readError =
            Text(Msg::FileCannotRead) + "(" + path + ")" + (why.empty() ? "" : " " + why);
        return result;
    }
    return LoadDialBytes(*bytes, model, product, encoding);
}

}  // namespace dialvane
