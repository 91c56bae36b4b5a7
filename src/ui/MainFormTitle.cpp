// The window's title names the list being edited and marks unsaved changes, as desktop
// programs do: "<list>[*] - Dialvane", the mark shown by Qt while the window is modified.
#include <QComboBox>
#include <QString>

#include "data/ProductInfo.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/TextUtil.h"
#include "ui/MainForm.h"

namespace dialvane {

namespace {

std::string LastPathPart(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool TMainForm::ListChanged() const {
    return editorShown_ && (model_.modified.Any() || model_.bindings != savedButtons_ ||
                            model_.senderName != savedSender_ ||
                            Trim(CB_Sender->currentText().toStdString()) != savedSender_);
}

std::string TMainForm::DocumentName() const {
    if (deviceDataUnsaved_) {
        const std::string address = env_.user.connection == 0 ? printerName_ : env_.user.ipAddress;
        return Text(Msg::DocumentFromDevice, product_->ModelName(), address);
    }
    if (untitled_ || currentFileName_.empty()) {
        return Text(Msg::DocumentUntitled);
    }
    return LastPathPart(currentFileName_);
}

void TMainForm::SetIdleTitle(const std::string& title) {
    idleTitle_ = title;
    UpdateDocumentTitle();
}

void TMainForm::UpdateDocumentTitle() {
    if (mainMode_ != MainModeKind::Edit || !editorShown_) {
        setWindowModified(false);
        if (!idleTitle_.empty()) {  // before the first inquiry the caption table's title stays
            setWindowTitle(QString::fromStdString(idleTitle_));
        }
        return;
    }
    // A literal "[*]" in a file name is doubled, so Qt shows it rather than taking it as the mark.
    QString name = QString::fromStdString(DocumentName());
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(name + QStringLiteral("[*]") +
                   QString::fromStdString(Text(Msg::CaptionSuffixSeparator) + Text(Msg::AppTitle)));
    setWindowModified(ListChanged());
}

}  // namespace dialvane
