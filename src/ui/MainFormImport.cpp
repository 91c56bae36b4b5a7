// The main window's import of an address book (a vCard, LDIF or CSV file, or a CardDAV server)
// into the list in the editor.
#include <QFileDialog>
#include <QTreeWidget>

#include "contacts/ContactSource.h"
#include "contacts/DialListMerge.h"
#include "contacts/DiallingRules.h"
#include "contacts/ImportPlan.h"
#include "data/ProductInfo.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "ui/DiallingForm.h"
#include "ui/ImportPreviewForm.h"
#include "ui/MainForm.h"
#include "ui/MainFormQuestions.h"

namespace dialvane {
namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\r\n") + line;
    }
    return text;
}

// The rows of the preview, in key order as the editor will show them.
std::vector<ImportPreviewRow> PreviewRows(const ImportPlan& plan, const DialModel& model) {
    std::vector<ImportPreviewRow> rows;
    for (const SpeedDialEntry& entry : model.speedDials) {
        if (entry.key.empty()) {
            continue;
        }
        for (const ImportedDial& dial : plan.dials) {
            if (dial.number == entry.faxNumber && dial.name == entry.name) {
                rows.push_back({dial.contactName, dial.found, dial.number, entry.key});
                break;
            }
        }
    }
    return rows;
}

std::vector<std::string> LeftOutLines(const ImportPlan& plan, const MergedDialList& merged) {
    std::vector<std::string> lines;
    for (const std::string& name : plan.withoutFax) {
        lines.push_back(Text(Msg::ImportWithoutFaxName, name));
    }
    for (const SkippedItem& skipped : plan.skipped) {
        lines.push_back(Text(Msg::ImportSkipped, skipped.name, skipped.reason));
    }
    for (const std::string& dropped : merged.dropped) {
        lines.push_back(Text(Msg::ImportDropped, dropped));
    }
    return lines;
}

unsigned GroupCount(const DialModel& model) {
    unsigned groups = 0;
    for (const GroupDialEntry& group : model.groups) {
        groups += group.number != 0 ? 1 : 0;
    }
    return groups;
}

}  // namespace

std::optional<std::string> TMainForm::AskContactsFile() {
    if (hooks_.openContactsFile) {
        return hooks_.openContactsFile();
    }
    const QString chosen =
        QFileDialog::getOpenFileName(this, QString::fromStdString(Text(Msg::ImportPreviewCaption)),
                                     QString::fromStdString(env_.paths.dataFolder),
                                     QString::fromStdString(Text(Msg::ImportFileFilter)));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.toStdString();
}

bool TMainForm::ReadChosenContacts(std::vector<Contact>& contacts) {
    const std::optional<ContactsSourceChoice> choice = AskContactsSource();
    if (!choice) {
        return false;
    }
    if (choice->server) {
        return FetchServerContacts(*choice, contacts);
    }
    const std::optional<std::string> path = AskContactsFile();
    if (!path) {
        return false;
    }
    ContactRead read = ReadContactFile(*path, {});
    if (!read.error.empty()) {
        Tell(*prompt_, read.error, Msg::ImportPreviewCaption, PromptIcon::Stop);
        return false;
    }
    contacts = std::move(read.contacts);
    return true;
}

void TMainForm::ImportContacts() {
    std::vector<Contact> contacts;
    if (!ReadChosenContacts(contacts)) {
        return;
    }
    const auto refuse = [this](const std::string& text) {
        Tell(*prompt_, text, Msg::ImportPreviewCaption, PromptIcon::Stop);
    };
    const bool merging = mainMode_ == MainModeKind::Edit && editorShown_;
    // A sender name typed but not yet taken would be lost when the editor is refilled.
    if (merging && currentTab_ == 3 && !Sender_Check()) {
        return;
    }
    const FileEncoding encoding = fileEncoding_.value_or(product_->Rules().FileDefault());
    MergedDialList merged;
    // Until the preview is accepted or cancelled: a change of the dialling rules redoes it.
    for (;;) {
        const ImportPlan plan = PlanImport(contacts, ReadDiallingSettings(env_.programSettingsFile),
                                           encoding, product_->Rules());
        if (plan.needsCountryCode) {
            refuse(Text(Msg::ImportNeedsCountryCode, env_.programSettingsFile));
            if (!EditDialling()) {
                return;
            }
            continue;
        }
        // An open list keeps its keys: numbers it already holds stay where the users know them.
        merged = MergeImport(plan, *product_, merging ? &model_ : nullptr);
        if (!merged.errors.empty()) {
            refuse(JoinLines(merged.errors));
            return;
        }
        if (importPreview_ == nullptr) {
            importPreview_ = new TImportPreviewForm(this);
        }
        importPreview_->Show(
            Text(Msg::ImportSummary, static_cast<unsigned>(plan.dials.size()),
                 static_cast<unsigned>(plan.contactsUsed), GroupCount(merged.model)),
            PreviewRows(plan, merged.model), LeftOutLines(plan, merged));
        const int answer = importPreview_->exec();
        if (answer == TImportPreviewForm::kEditDialling) {
            EditDialling();
            continue;
        }
        if (answer != QDialog::Accepted) {
            return;
        }
        break;
    }
    if (!merging) {
        // A new, unsaved list, entered the way the menu's Create New enters it.
        TV_Ctrl->expandAll();
        SelectNode(2);
        if (mainMode_ != MainModeKind::Edit || !editorShown_) {
            return;
        }
    }
    // Refilled, the editor starts from the merged list, and still asks before the list as it
    // was opened is left behind.
    const auto openedBindings = savedButtons_;
    const std::string openedSender = savedSender_;
    const ModifiedFlags modified = model_.modified;
    const ListSnapshot openedList = savedList_;
    ListSnapshot beforeImport = TakeSnapshot(model_);
    model_ = merged.model;
    OpenEditor();
    model_.modified = modified;
    model_.modified.speedDials = true;
    model_.modified.groups = true;
    savedButtons_ = openedBindings;
    savedSender_ = openedSender;
    // The merge is one step back to the list as it was before it.
    savedList_ = openedList;
    PushListEdit(Text(Msg::UndoImportContacts), std::move(beforeImport));
    Menu_Enabled_Set();
}

bool TMainForm::EditDialling() {
    if (diallingForm_ == nullptr) {
        diallingForm_ = new TDiallingForm(this);
    }
    DiallingSettings settings = ReadDiallingSettings(env_.programSettingsFile);
    if (!diallingForm_->Execute(settings)) {
        return false;
    }
    std::string error;
    if (!WriteDiallingSettings(env_.programSettingsFile, settings, &error)) {
        Tell(*prompt_, Text(Msg::DiallingNotSaved, env_.programSettingsFile, error),
             Msg::DiallingCaption, PromptIcon::Stop);
        return false;
    }
    return true;
}

}  // namespace dialvane
