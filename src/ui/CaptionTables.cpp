#include "ui/CaptionTables.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <map>

#include "support/TextUtil.h"
#include "ui/CaptionHelpers.h"

namespace dialvane {

namespace {

// Built once, on first use, and only read afterwards.
const std::map<std::string, std::vector<CaptionEntry>>& Tables() {
    static const std::map<std::string, std::vector<CaptionEntry>> tables = {
        {"MAINFORM",
         {{nullptr, Msg::AppTitle},
          {"BTN_Save_MFP", Msg::MainBtnSaveMfp},
          {"BTN_Save", Msg::MainBtnSave},
          {"BTN_Cancel", Msg::MainBtnCancel},
          {"BTN_Speed_Edit", Msg::MainBtnEdit},
          {"BTN_Speed_Del", Msg::MainBtnDelete},
          {"BTN_Speed_Add", Msg::MainBtnAdd},
          {"BTN_Group_Edit", Msg::MainBtnEdit},
          {"BTN_Group_Del", Msg::MainBtnDelete},
          {"BTN_Group_Add", Msg::MainBtnAdd},
          {"BTN_File_Sel", Msg::MainBtnBrowse},
          {"BTN_File_Sel_Cancel", Msg::MainBtnCancel},
          {"MN_MenuFile", Msg::MainMenuFile},
          {"MN_Edit", Msg::MainMenuEdit},
          {"MN_Edit_Std", Msg::MainMenuEditStd},
          {"MN_Edit_MFP", Msg::MainMenuEditMfp},
          {"MN_Edit_New", Msg::MainMenuEditNew},
          {"MN_Setup", Msg::MainMenuSetup},
          {"MN_Save", Msg::MainMenuSave},
          {"MN_SaveAs", Msg::MainMenuSaveAs},
          {"MN_Save_MFP", Msg::MainMenuSaveMfp},
          {"MN_Restore", Msg::MainMenuRestore},
          {"MN_Import", Msg::MainMenuImport},
          {"MN_Print", Msg::MainMenuPrint},
          {"MN_PrintPreview", Msg::MainMenuPrintPreview},
          {"MN_ExportPdf", Msg::MainMenuExportPdf},
          {"MN_Exit", Msg::MainMenuExit},
          {"MN_MenuHelp", Msg::MainMenuHelp},
          {"MN_Help", Msg::MainMenuContents},
          {"MN_Version", Msg::MainMenuVersion},
          {"LBL_Title", Msg::ProductTitle},
          {"BTN_OneA", Msg::MainBtnEdit},
          {"BTN_OneB", Msg::MainBtnEdit},
          {"BTN_OneC", Msg::MainBtnEdit},
          {"BTN_OneA_Del", Msg::MainBtnNoSetting},
          {"BTN_OneB_Del", Msg::MainBtnNoSetting},
          {"BTN_OneC_Del", Msg::MainBtnNoSetting},
          {"BTN_OK_Setup", Msg::MainBtnOk},
          {"BTN_Cancel_Setup", Msg::MainBtnCancel},
          {"BTN_IP_Ent", Msg::SetupRegister},
          {"BTN_Setup_Del", Msg::MainBtnDelete},
          {"BTN_Test", Msg::SetupTest},
          {"LBL_OneA", Msg::MainLabelOneA},
          {"LBL_OneB", Msg::MainLabelOneB},
          {"LBL_OneC", Msg::MainLabelOneC},
          {"LBL_Sender", Msg::MainLabelSender},
          {"LBL_Status", Msg::SetupStatus},
          {"LBL_IP_Addr", Msg::SetupIpAddress},
          {"LBL_Standby_Title", Msg::ProductTitle},
          {"LBL_Standby1", Msg::MainStandby1},
          {"LBL_Standby2", Msg::MainStandby2},
          {"LBL_Standby3", Msg::MainStandby3},
          {"GB_One", Msg::MainGroupOneTouch},
          {"GB_Quick1", Msg::MainGroupQuick1},
          {"GB_Quick2", Msg::MainGroupQuick5},
          {"GB_Quick3", Msg::MainGroupQuick9},
          {"GB_Sender", Msg::MainGroupSender},
          {"GB_Dev_Base", Msg::SetupGroupPath},
          {"RB_Usb", Msg::SetupUsb},
          {"RB_Network", Msg::SetupNetwork},
          {"GB_Network", Msg::SetupGroupNetwork},
          {"GB_File_Sel", Msg::MainFileSelGroup},
          {"LBL_File_Sel", Msg::MainFileSelText},
          {"LBL_Title_File_Sel", Msg::MainFileSelName},
          {"BTN_File_Sel_Run", Msg::MainFileSelNext},
          {"TabCtrl", Msg::MainTabs, CaptionKind::CommaList},
          {"SFG_Speed", Msg::MainSpeedColumns4, CaptionKind::CommaList},
          {"SFG_Group", Msg::MainGroupColumns, CaptionKind::CommaList}}},
        {"ONETUCHINPFORM",
         {{nullptr, Msg::SelectFormCaption},
          {"BTN_OK", Msg::MainBtnOk},
          {"BTN_Cancel", Msg::MainBtnCancel},
          {"GB_Inport", Msg::SelectFormGroup},
          {"SFG_Inport", Msg::SelectFormColumns, CaptionKind::CommaList}}},
        {"EDITFORM",
         {{nullptr, Msg::EditFormCaption},
          {"BTN_OK", Msg::EditFormOk},
          {"BTN_Cancel", Msg::EditFormCancel},
          {"BTN_Inport", Msg::EditFormImport},
          {"LBL_Name", Msg::EditFormName},
          {"LBL_Tel", Msg::EditFormTel},
          {"LBL_Num", Msg::EditFormNumber},
          {"LBL_Keyword", Msg::EditFormKeyword}}},
        {"EDITFORM_GROUP",
         {{nullptr, Msg::GroupFormCaption},
          {"BTN_OK", Msg::GroupFormOk},
          {"BTN_Cancel", Msg::GroupFormCancel},
          {"BTN_Speed_Add", Msg::GroupFormAdd},
          {"BTN_Relese", Msg::GroupFormRelease},
          {"LBL_Group_Num", Msg::GroupFormNumber},
          {"LBL_Group_Name", Msg::GroupFormName},
          {"GB_Speed", Msg::GroupFormAvailable},
          {"GB_Group_Entry", Msg::GroupFormSelected},
          {"SFG_Edit_Group", Msg::GroupFormMemberColumns, CaptionKind::CommaList},
          {"SFG_Speed", Msg::GroupFormSpeedColumns, CaptionKind::CommaList}}},
        {"ERRLOGFORM",
         {{nullptr, Msg::ErrLogFormCaption},
          {"BTN_OK", Msg::ErrLogFormOk},
          {"MN_File", Msg::ErrLogFormFile},
          {"MN_SaveAs", Msg::ErrLogFormSaveAs},
          {"MN_Exit", Msg::ErrLogFormExit}}},
        {"FORMVER", {{nullptr, Msg::FormVerCaption}}},
        {"PROGFORM",
         {{nullptr, Msg::ProgFormCaption},
          {"LBL_Status", Msg::ProgFormStatus},
          {"BTN_Abort", Msg::ProgFormStop},
          {"BTN_OK", Msg::ProgFormOk},
          {"BTN_Save", Msg::ProgFormSave}}},
    };
    return tables;
}

QString Upper(const QString& text) {
    return text.toUpper();
}

void SetCaption(QObject* target, bool isWindow, const QString& text) {
    if (auto* window = qobject_cast<QWidget*>(target); window != nullptr && isWindow) {
        window->setWindowTitle(text);
    } else if (auto* menu = qobject_cast<QMenu*>(target)) {
        menu->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(target)) {
        label->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(target)) {
        box->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(target)) {
        action->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        edit->setText(text);
    }
}

void SetList(QObject* target, const QStringList& items) {
    if (auto* grid = qobject_cast<QTableWidget*>(target)) {
        if (grid->columnCount() < items.size()) {
            grid->setColumnCount(static_cast<int>(items.size()));
        }
        grid->setHorizontalHeaderLabels(items);
    } else if (auto* view = qobject_cast<QTableView*>(target); view && view->model()) {
        for (int i = 0; i < items.size(); ++i) {
            view->model()->setHeaderData(i, Qt::Horizontal, items[i]);
        }
    } else if (auto* tabs = qobject_cast<QTabWidget*>(target)) {
        for (int i = 0; i < tabs->count() && i < items.size(); ++i) {
            tabs->setTabText(i, items[i]);
        }
    } else if (auto* bar = qobject_cast<QTabBar*>(target)) {
        while (bar->count() < items.size()) {
            bar->addTab(QString());
        }
        for (int i = 0; i < items.size(); ++i) {
            bar->setTabText(i, items[i]);
        }
    }
}

}  // namespace

void ApplyCaptions(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    const auto found = Tables().find(S(Upper(window->objectName())));
    if (found == Tables().end()) {
        return;
    }
    const std::vector<CaptionEntry>& entries = found->second;
    for (const CaptionEntry& entry : entries) {
        QObject* target = window;
        if (entry.control != nullptr && entry.control[0] != '\0') {
            target = window->findChild<QObject*>(QString::fromLatin1(entry.control));
            if (target == nullptr) {
                continue;
            }
        }
        const std::string& text = Text(entry.message);
        if (entry.kind == CaptionKind::CommaList) {
            SetList(target, CommaList(text));
        } else {
            SetCaption(target, target == window, Q(text));
        }
    }
}

void SetCommaList(const std::string& text, std::vector<std::string>& strings) {
    strings.clear();
    if (text.empty()) {
        return;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::size_t end = comma == std::string::npos ? text.size() : comma;
        strings.push_back(Trim(text.substr(start, end - start)));
        if (comma == std::string::npos || comma + 1 == text.size()) {
            break;
        }
        start = comma + 1;
    }
}

QStringList CommaList(const std::string& text) {
    std::vector<std::string> pieces;
    SetCommaList(text, pieces);
    QStringList list;
    for (const std::string& piece : pieces) {
        list.append(Q(piece));
    }
    return list;
}

std::string TextBefore(const std::string& text, const std::string& delimiter) {
    const std::size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
    return at == std::string::npos ? text : text.substr(0, at);
}

}  // namespace dialvane
