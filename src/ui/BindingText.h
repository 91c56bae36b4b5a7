#pragma once

#include <string>
#include <vector>

#include "data/DialModel.h"

namespace dialvane {

// One row of the selection dialog: a registered speed dial or group.
struct SelectionRow {
    std::string key, name, record;
};

// "%s [%s] %s": the key, the name and the fax number (or the group's members).
std::string SelectionText(const SelectionRow& row);

// The registered speed dials in number order, then the registered groups.
std::vector<SelectionRow> SelectionRows(const DialModel& model);

// What a button slot shows for its binding: the target's selection text, nothing for an empty
// binding, and for a binding whose target is gone its key with a note, so it can be seen and
// cleared.
std::string BindingDisplayText(const DialModel& model, const std::string& binding);

// The binding a slot's display text stands for: the key at its start.
std::string BindingFromDisplay(const std::string& text);

}  // namespace dialvane
