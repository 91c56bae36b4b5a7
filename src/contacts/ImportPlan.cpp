#include "contacts/ImportPlan.h"

#include <algorithm>
#include <numeric>

#include "contacts/NameOrder.h"
#include "data/DialModel.h"
#include "data/TextChecks.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr size_t kNameUnits = kNameMaxBytes / 2;

// The name rule of the list and the encoding of the file must both hold the text.
bool Holdable(const std::string& text, FileEncoding encoding, const TextRules& rules) {
    return CheckNameText(text, kNameMaxBytes, rules).code != kCheckIllegal &&
           Utf8ToFileBytes(text, encoding).has_value();
}

std::string NumberedName(const std::string& base, int n) {
    if (n == 1) {
        return CutToUnits(base, kNameUnits);
    }
    const std::string suffix = " (" + std::to_string(n) + ")";
    return CutToUnits(base, kNameUnits - suffix.size()) + suffix;
}

// Why a fax number cannot be used, or empty when it can.
std::string NumberProblem(const std::string& found, const DialledNumber& dialled) {
    switch (dialled.status) {
        case DialStatus::Ok:
            if (CheckFaxNumber(dialled.number) != kCheckOk) {
                return Text(Msg::ImportNumberTooLong, found, kFaxMaxChars);
            }
            return {};
        case DialStatus::NotDialable:
            return Text(Msg::ImportNumberNotDialable, found, dialled.leftovers);
        case DialStatus::UnknownCountryCode:
            return Text(Msg::ImportNumberUnknownCountry, found);
        case DialStatus::Empty:
        case DialStatus::NeedsCountryCode:
            break;
    }
    return Text(Msg::ImportNumberEmpty, found);
}

}  // namespace

ImportPlan PlanImport(const std::vector<Contact>& contacts, const DiallingSettings& dialling,
                      FileEncoding fileEncoding, const TextRules& rules) {
    ImportPlan plan;
    std::vector<std::string> groupNames;
    for (const Contact& contact : contacts) {
        if (contact.faxNumbers.empty()) {
            plan.withoutFax.push_back(contact.name);
            continue;
        }
        if (Trim(contact.name).empty()) {
            plan.skipped.push_back({contact.faxNumbers.front(), Text(Msg::ImportSkipNoName)});
            continue;
        }
        if (!Holdable(contact.name, fileEncoding, rules)) {
            plan.skipped.push_back({contact.name, Text(Msg::ImportSkipNameCharacters)});
            continue;
        }
        std::vector<std::string> groups;
        for (const std::string& category : contact.categories) {
            const std::string group = CutToUnits(category, kNameUnits);
            if (!Holdable(group, fileEncoding, rules)) {
                plan.skipped.push_back({category, Text(Msg::ImportSkipGroupCharacters)});
            } else if (std::find(groups.begin(), groups.end(), group) == groups.end()) {
                groups.push_back(group);
            }
        }
        std::vector<std::string> numbers;  // one speed dial per distinct dialled number
        for (const std::string& found : contact.faxNumbers) {
            const DialledNumber dialled = DialableNumber(found, dialling);
            if (dialled.status == DialStatus::NeedsCountryCode) {
                plan.needsCountryCode = true;
                continue;
            }
            if (std::string problem = NumberProblem(found, dialled); !problem.empty()) {
                plan.skipped.push_back({contact.name, std::move(problem)});
                continue;
            }
            if (std::find(numbers.begin(), numbers.end(), dialled.number) != numbers.end()) {
                continue;
            }
            numbers.push_back(dialled.number);
            plan.dials.push_back({contact.name, found, dialled.number,
                                  NumberedName(contact.name, static_cast<int>(numbers.size())),
                                  groups});
        }
        if (!numbers.empty()) {
            ++plan.contactsUsed;
            groupNames.insert(groupNames.end(), groups.begin(), groups.end());
        }
    }

    std::vector<std::string> keys;
    keys.reserve(plan.dials.size());
    for (const ImportedDial& dial : plan.dials) {
        keys.push_back(NameOrderKey(dial.contactName));
    }
    std::vector<size_t> order(plan.dials.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<ImportedDial> sorted;
    sorted.reserve(order.size());
    for (size_t i : order) {
        sorted.push_back(std::move(plan.dials[i]));
    }
    plan.dials = std::move(sorted);

    for (std::string& name : groupNames) {
        if (std::find(plan.groupNames.begin(), plan.groupNames.end(), name) ==
            plan.groupNames.end()) {
            plan.groupNames.push_back(std::move(name));
        }
    }
    std::stable_sort(plan.groupNames.begin(), plan.groupNames.end(),
                     [](const std::string& a, const std::string& b) {
                         return NameOrderKey(a) < NameOrderKey(b);
                     });
    return plan;
}

}  // namespace dialvane
