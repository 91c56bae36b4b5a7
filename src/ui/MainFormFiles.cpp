// The main window's user files: reading, writing, saving and the file history.
#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>

#include "data/DialFileLoader.h"
#include "data/DialFileWriter.h"
#include "data/ProductInfo.h"
#include "support/Environment.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "ui/ErrLogForm.h"
#include "ui/MainForm.h"
#include "ui/MainFormQuestions.h"

namespace dialvane {
namespace {

std::string FilePart(const std::string& path) {
    size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The Qt filter list of "Name(*.ext)|*.ext|..." pairs.
QString QtFilter() {
    QStringList parts = QString::fromStdString(Text(Msg::MainFileFilter)).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        filters << name.section('(', 0, 0) + " (" + parts[i + 1] + ")";
    }
    return filters.join(";;");
}

}  // namespace

const std::vector<std::string>& TMainForm::FileHistory() const {
    return env_.user.fileHistory;
}

LoadResult TMainForm::LoadUserFile(const std::string& fileName) {
    const FileEncoding codePage = product_->Rules().FileDefault();
    LoadResult result = LoadDialFile(fileName, model_, *product_, codePage);
    // Read in the code page, a file an editor saved as UTF-8 would show garbled and be sent so.
    if (result.readable && result.looksLikeUtf8 &&
        Ask(*prompt_, Text(Msg::OpenAsUtf8Question, std::string(FileEncodingName(codePage))),
            Msg::ReadUserDataCaption, PromptButtons::YesNo, PromptIcon::Question,
            PromptAnswer::Yes) == PromptAnswer::Yes) {
        result = LoadDialFile(fileName, model_, *product_, FileEncoding::Utf8);
    }
    fileEncoding_ = result.encoding;
    return result;
}

bool TMainForm::Read_UserFile(const std::string& fileName) {
    const LoadResult result = LoadUserFile(fileName);
    if (!result.readable) {
        Tell(*prompt_, result.readError, Msg::FileErrorCaption, PromptIcon::Stop);
        return false;
    }
    if (!result.errorLines.empty()) {
        if (Ask(*prompt_, Text(Msg::ReadUserDataQuestion), Msg::ReadUserDataCaption,
                PromptButtons::YesNo, PromptIcon::Stop, PromptAnswer::Yes) == PromptAnswer::Yes) {
            if (hooks_.showErrors) {
                hooks_.showErrors(result.errorLines);
            } else if (errLogForm_ != nullptr && editSource_ == EditSourceKind::ExistingFile) {
                // The user may correct the file beside the list and check it again: the list
                // opens once the file reads without an error, never before.
                return errLogForm_->ShowFileErrors(fileName, result.errorLines, [this, fileName] {
                    const LoadResult again = LoadUserFile(fileName);
                    return again.readable ? again.errorLines
                                          : std::vector<std::string>{again.readError};
                });
            } else if (errLogForm_ != nullptr) {
                errLogForm_->ShowErrors(result.errorLines);
            }
        }
        return false;
    }
    return true;
}

bool TMainForm::Write_UserFile(const std::string& fileName) {
    std::string error;
    if (!SaveDialFile(fileName, model_, *product_, &error, fileEncoding_)) {
        Tell(*prompt_, error, Msg::FileErrorCaption, PromptIcon::Stop);
        return false;
    }
    return true;
}

bool TMainForm::Save_UserFile(bool askName) {
    // Without a name there is nothing to save to: ask for one.
    if (askName || currentFileName_.empty()) {
        std::optional<std::string> chosen;
        if (hooks_.saveFileName) {
            chosen = hooks_.saveFileName(currentFileName_);
        } else {
            QFileDialog dialog(this, QString(), QString::fromStdString(currentFileName_),
                               QtFilter());
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix("csv");
            if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
                chosen = dialog.selectedFiles().first().toStdString();
            }
        }
        if (!chosen || chosen->empty()) {
            return false;
        }
        currentFileName_ = *chosen;
        AddFileHistory(currentFileName_);
    }
    if (!Write_UserFile(currentFileName_)) {
        return false;
    }
    Tell(*prompt_, Text(Msg::UserDataSaved, FilePart(currentFileName_)), Msg::SaveUserDataCaption,
         PromptIcon::Information);
    model_.modified.Clear();
    deviceDataUnsaved_ = false;
    untitled_ = false;  // from now on the list has a file that Save writes to
    savedButtons_ = model_.bindings;
    savedSender_ = model_.senderName;
    MarkListSaved();
    editSource_ = EditSourceKind::ExistingFile;
    Menu_Enabled_Set();
    return true;
}

void TMainForm::AddFileHistory(const std::string& path) {
    std::vector<std::string>& history = env_.user.fileHistory;
    std::erase(history, path);
    if (history.size() >= 10) {
        history.erase(history.begin() + 9, history.end());
    }
    history.insert(history.begin(), path);
    ReloadFileHistory();
    int index = CB_File_Sel->findText(QString::fromStdString(path));
    CB_File_Sel->setCurrentIndex(path.empty() ? -1 : index);
    UpdateFileSelRun();
}

void TMainForm::ReloadFileHistory() {
    QSignalBlocker block(CB_File_Sel);
    CB_File_Sel->clear();
    for (const std::string& entry : env_.user.fileHistory) {
        CB_File_Sel->addItem(QString::fromStdString(entry));
    }
    CB_File_Sel->setCurrentIndex(
        currentFileName_.empty() ? -1
                                 : CB_File_Sel->findText(QString::fromStdString(currentFileName_)));
    UpdateFileSelRun();
}

void TMainForm::UpdateFileSelRun() {
    if (PNL_File_Sel->isVisibleTo(this)) {
        BTN_File_Sel_Run->setEnabled(CB_File_Sel->count() > 0 && CB_File_Sel->currentIndex() >= 0);
    }
}

void TMainForm::File_Sel_BtnClick() {
    int tag = activeControl_ != nullptr ? activeControl_->property("Tag").toInt() : -1;
    std::string text = CB_File_Sel->currentText().toStdString();
    switch (tag) {
        case 0: {
            std::string start = FileExists(text) ? text : std::string();
            std::optional<std::string> chosen;
            if (hooks_.openFileName) {
                chosen = hooks_.openFileName(start);
            } else {
                QString name = QFileDialog::getOpenFileName(
                    this, QString(), QString::fromStdString(start), QtFilter());
                if (!name.isEmpty()) {
                    chosen = name.toStdString();
                }
            }
            if (chosen && !chosen->empty()) {
                currentFileName_ = *chosen;
                AddFileHistory(*chosen);
            }
            BTN_File_Sel_Run->setFocus();
            break;
        }
        case 1:
            if (FileExists(text)) {
                Panel_Change(MainModeKind::Edit, EditSourceKind::ExistingFile);
            } else {
                Tell(*prompt_, Text(Msg::SpecifiedFileNotFound), Msg::SearchingFileCaption,
                     PromptIcon::Stop);
            }
            break;
        case 2:
            Panel_Change(MainModeKind::Standby);
            break;
        default:
            break;
    }
}

}  // namespace dialvane
