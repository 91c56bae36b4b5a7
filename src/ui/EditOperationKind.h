#pragma once

namespace dialvane {

// What a grid's button does to a record; the entry dialogs open to edit one or to add one.
enum class EditOperationKind { Edit, Delete, Add };

}  // namespace dialvane
