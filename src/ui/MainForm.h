#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/CharConv.h"
#include "data/DialModel.h"
#include "ui/ContactsSourceChoice.h"
#include "ui/EditOperationKind.h"
#include "ui/ListSnapshot.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTabBar;
class QTableView;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QUndoStack;
class QWidget;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace dialvane {

class TStartupMessageForm;
struct Environment;
class DeviceSession;
struct DeviceSessionSettings;
class RunFolder;
class UsbPrinterWatch;
class UThread;
enum class RunMode : int;
struct RunRequest;
class IPrompt;
class RecordTable;
class TProductInfo;
class TFormVer;
class TEditForm;
class TEditForm_Group;
class TProgForm;
class TErrLogForm;
class TOneTuchInpForm;
class TImportPreviewForm;
class TImportSourceForm;
struct Contact;
class TDiallingForm;
class TPanelQuickDialTab;
class ListTableModel;
class ListFilterProxy;
class SpeedDialListModel;
class GroupListModel;
struct RunResult;
struct LoadResult;
struct TransferReport;
struct TransferOptions;

enum class MainModeKind { Standby, Edit, Setup, Exit };
enum class EditSourceKind { New, FromDevice, ExistingFile, FileSelect };

// What the main window asks of its surroundings; tests replace the dialogs and the device.
struct MainFormHooks {
    // The save and open dialogs: the chosen path, or nothing when cancelled. The argument is
    // the name the dialog starts with.
    std::function<std::optional<std::string>(const std::string&)> saveFileName;
    std::function<std::optional<std::string>(const std::string&)> openFileName;
    // The name of an installed printer that uses one of the maker's drivers; empty when none.
    std::function<std::string()> findPrinter;
    // Runs one transfer (a download or an upload) modally; the default uses the progress
    // dialog.
    std::function<void(RunMode mode)> runTransfer;
    // The choice among this MFP's backups (one line each, newest first): the index, or nothing
    // when cancelled. The default asks with a list dialog.
    std::function<std::optional<std::size_t>(const std::vector<std::string>& lines)> chooseBackup;
    // The speed-dial and group entry dialogs: true when closed with OK. The default uses
    // TEditForm and TEditForm_Group.
    std::function<bool(EditOperationKind, SpeedDialEntry& buffer)> editSpeedDial;
    std::function<bool(EditOperationKind, GroupDisplay& buffer, DialModel& model)> editGroup;
    // The error details of a user file; the default shows TErrLogForm.
    std::function<void(const std::vector<std::string>&)> showErrors;
    // Opens a user file in the text editor from the error list; false when it could not. The
    // default asks the desktop for its plain-text application.
    std::function<bool(const std::string&)> openTextEditor;
    // Opens the help page; false when it could not be shown. The default asks the desktop.
    std::function<bool(const std::string&)> openHelp;
    // The import's file dialog: the address book chosen, or nothing when cancelled.
    std::function<std::optional<std::string>()> openContactsFile;
    // The import's choice of a file or an address book server, offered as last time: what
    // was chosen, or nothing when cancelled. The default asks with TImportSourceForm.
    std::function<std::optional<ContactsSourceChoice>(const ContactsSourceChoice& offered)>
        askContactsSource;
    // Every question and message box of the window and its dialogs; the default shows Qt
    // message boxes over the window.
    std::shared_ptr<IPrompt> prompt;
};

// The program's one top-level window: the title band, the navigation tree and one of the
// standby, file-selection, editor and setup panels; the workflow between them; the grids.
class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(Environment& environment, MainFormHooks hooks = {},
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    // The workflow.
    void Panel_Change(MainModeKind mode, EditSourceKind source = EditSourceKind::New);
    bool Save_UserFile(bool askName);
    // Save (Ctrl+S) writes the open list to its file, asking for a name only when it has none;
    // Save As (`askName`) always asks.
    void SaveFromMenu(bool askName);
    bool Edit_Update_Check(bool leaving);
    void Menu_Enabled_Set();
    void BtnClick();
    void File_Sel_BtnClick();
    void StartupTimerTimer();
    // Adds a path to the file history and selects it in CB_File_Sel.
    void AddFileHistory(const std::string& path);

    // The one-touch, quick-dial and sender pages.
    void OneTouch_Page_Set();
    void Quick_Page_Set();
    void OneTouch_Button_Set();
    void Quick_Button_Set();
    void Sender_Page_Set();
    bool Sender_Check();

    // The setup panel.
    void Setup_Load();
    void Setup_BtnClick();
    void Setup_Update_Check();
    void GB_DevClick();
    void Setup_Button_Set(QPushButton* button = nullptr);
    bool SetupChanged() const { return setupChanged_; }
    int ConnectionType() const;
    const std::vector<std::string>& IpAddressList() const;
    const std::string& CurrentIpAddress() const;

    // The grids. `select`: -1 keeps the selected record (the next one when it is gone, the last
    // row when none was selected), 0 selects the last row, a number that record.
    void Speed_Grid_Set(int select);
    void Group_Grid_Set(int select);
    void Button_Enabled_Set(QPushButton* button);

    // State, for the program's parts and for tests.
    MainModeKind MainMode() const { return mainMode_; }
    EditSourceKind EditSource() const { return editSource_; }
    bool EditorShown() const { return editorShown_; }
    bool Untitled() const { return untitled_; }
    bool DeviceDataUnsaved() const { return deviceDataUnsaved_; }
    bool DeviceReady() const { return deviceReady_; }
    const std::string& CurrentFileName() const { return currentFileName_; }
    const std::vector<std::string>& FileHistory() const;
    DialModel& Model() { return model_; }
    const TProductInfo& Product() const { return *product_; }
    TProductInfo& Product() { return *product_; }
    RecordTable& Table() { return *table_; }
    Environment& Env() { return env_; }
    bool InquiryRunning() const;
    TProgForm* ProgForm() const { return progForm_; }
    // The folder of the window's temporary files (ends with "/"); empty when it could not be
    // made and the data folder holds them.
    std::string RunFolderPath() const;
    TOneTuchInpForm* SelectForm() const { return oneTuchInpForm_; }
    TErrLogForm* ErrLogForm() const { return errLogForm_; }
    // The import's preview; made at the first import.
    TImportPreviewForm* ImportPreview() const { return importPreview_; }
    // The dialling rules' dialog; made when first shown.
    TDiallingForm* DiallingForm() const { return diallingForm_; }
    // What shows the window is busy while an address book server is read; null otherwise.
    QWidget* ContactsFetchBusy() const { return contactsBusy_; }
    TStartupMessageForm* StartupMessage() const { return startupMessage_; }
    // The edits of the open list, undone and redone from the Edit menu.
    QUndoStack* UndoStack() const { return undoStack_; }
    // Whether the window may close now (the close query), without closing it.
    bool CanClose();
    // The session is ending: save the settings and close without tearing anything down.
    bool EndSession();

    // The shipped help page, beside the program.
    std::string HelpFile() const;

    // The open list as a sheet to keep beside the MFP: printed, previewed or saved as PDF.
    void PrintList();
    void PreviewList();
    void ExportListPdf();

    // Loads the capabilities of a model and adapts the editor's wording to it.
    void LoadProduct(const std::string& modelName);

    // Widgets, named as in the program's design (also their objectName()).
    QLabel* LBL_Title = nullptr;
    QLabel* IMG_Title_Deco = nullptr;  // the decorative picture at the band's right end
    QTreeWidget* TV_Ctrl = nullptr;
    QSplitter* SPL_Left = nullptr;
    QWidget* PNL_Standby = nullptr;
    QLabel* LBL_Standby_Title = nullptr;
    QLabel* LBL_Standby1 = nullptr;
    QLabel* LBL_Standby2 = nullptr;
    QLabel* LBL_Standby3 = nullptr;
    QWidget* PNL_File_Sel = nullptr;
    QLabel* LBL_File_Sel_Title = nullptr;
    QGroupBox* GB_File_Sel = nullptr;
    QLabel* LBL_File_Sel = nullptr;
    QLabel* LBL_Title_File_Sel = nullptr;
    QComboBox* CB_File_Sel = nullptr;
    QPushButton* BTN_File_Sel = nullptr;
    QWidget* PNL_BTN_Area_File_Sel = nullptr;
    QPushButton* BTN_File_Sel_Run = nullptr;
    QPushButton* BTN_File_Sel_Cancel = nullptr;
    QWidget* PNL_Edit = nullptr;
    QTabBar* TabCtrl = nullptr;
    QWidget* PNL_BTN_Area0 = nullptr;
    QPushButton* BTN_Save_MFP = nullptr;
    QPushButton* BTN_Save = nullptr;
    QPushButton* BTN_Cancel = nullptr;
    QWidget* PNL_Speed = nullptr;
    QLineEdit* EDT_Speed_Search = nullptr;
    QTableView* SFG_Speed = nullptr;
    QWidget* PNL_BTN_Area = nullptr;
    QPushButton* BTN_Speed_Edit = nullptr;
    QPushButton* BTN_Speed_Del = nullptr;
    QPushButton* BTN_Speed_Add = nullptr;
    QWidget* PNL_Group = nullptr;
    QLineEdit* EDT_Group_Search = nullptr;
    QTableView* SFG_Group = nullptr;
    QWidget* PNL_BTN_Area_Group = nullptr;
    QPushButton* BTN_Group_Edit = nullptr;
    QPushButton* BTN_Group_Del = nullptr;
    QPushButton* BTN_Group_Add = nullptr;
    QWidget* PNL_OneTuch = nullptr;
    QGroupBox* GB_One = nullptr;
    std::array<QLabel*, 3> LBL_One{};  // LBL_OneA, LBL_OneB, LBL_OneC
    std::array<QLineEdit*, 3> EDT_One{};
    std::array<QPushButton*, 3> BTN_One{};
    std::array<QPushButton*, 3> BTN_One_Del{};
    TPanelQuickDialTab* PNL_Quick = nullptr;
    QWidget* PNL_Sender = nullptr;
    QGroupBox* GB_Sender = nullptr;
    QComboBox* CB_Sender = nullptr;
    QLabel* LBL_Sender_Used = nullptr;  // what the sender name uses of its limit
    QWidget* PNL_Setup = nullptr;
    QLabel* LBL_Setup_Title = nullptr;
    QWidget* PNL_Dev = nullptr;
    QGroupBox* GB_Dev_Base = nullptr;
    QLabel* IMG_Setup = nullptr;
    QGroupBox* GB_Dev = nullptr;
    std::array<QRadioButton*, 2> GB_Dev_Items{};  // USB(&L), Network(&N)
    QSplitter* SPL_Network = nullptr;
    QWidget* PNL_Network = nullptr;
    QGroupBox* GB_Network = nullptr;
    QLabel* LBL_IP_Addr = nullptr;
    QComboBox* CB_IP_Addr = nullptr;
    QWidget* PNL_BTN_Area_Network = nullptr;
    QPushButton* BTN_IP_Ent = nullptr;
    QPushButton* BTN_Setup_Del = nullptr;
    QPushButton* BTN_Test = nullptr;
    QLabel* LBL_Status = nullptr;
    QListWidget* LB_Status = nullptr;
    QWidget* PNL_BTN_Area_Setup = nullptr;
    QPushButton* BTN_OK_Setup = nullptr;
    QPushButton* BTN_Cancel_Setup = nullptr;
    QAction* MN_Edit = nullptr;
    QAction* MN_Edit_New = nullptr;
    QAction* MN_Edit_MFP = nullptr;
    QAction* MN_Edit_Std = nullptr;
    QAction* MN_Setup = nullptr;
    QAction* MN_Save = nullptr;
    QAction* MN_SaveAs = nullptr;
    QAction* MN_Save_MFP = nullptr;
    QAction* MN_Restore = nullptr;
    QAction* MN_Import = nullptr;
    QAction* MN_Print = nullptr;
    QAction* MN_PrintPreview = nullptr;
    QAction* MN_ExportPdf = nullptr;
    QAction* MN_Exit = nullptr;
    QAction* MN_Help = nullptr;
    QAction* MN_Version = nullptr;
    QAction* MN_Undo = nullptr;
    QAction* MN_Redo = nullptr;
    QTimer* StartupTimer = nullptr;

    // Tree nodes by index: root, Edit, Create New, Edit Records, Edit Existing File, Setup.
    QTreeWidgetItem* Node(int index) const { return nodes_[index]; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Construction, title band and tree (MainFormLayout.cpp).
    void BuildWindow();
    void BuildTree();
    void DrawTitleBand();
    void SetNodeTexts();
    int TitleTextWidth() const;
    void PlaceTitleImages();
    void Form_Resize();

    // Menu and keys (MainFormMenu.cpp).
    void BuildMenu();
    void ShowVersion();
    void ClickFor(QPushButton* button);
    void FormClick();
    void ShowHelp();

    // Panels (MainFormPanels.cpp).
    QWidget* BuildStandbyPanel();
    QWidget* BuildFileSelPanel();
    QWidget* BuildEditPanel();
    QWidget* BuildGridPage(const char* name, QTableView*& grid, QLineEdit*& search,
                           std::array<QPushButton**, 3> buttons, int firstTag);
    // Ctrl+F: the cursor into the search field of the list shown.
    void FocusSearch();
    void ShowPanel(QWidget* panel);
    void Load_Panel();
    void SetThirdTabCaption();
    void LayoutStandby();
    void SizeEditDialogs();

    // Workflow (MainFormWorkflow.cpp).
    void OpenEditor();
    void TV_Change(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    bool TV_Changing(QTreeWidgetItem* target);
    // Keys in the tree only select; Enter (or a click) opens the selected node.
    bool TreeKeyPress(QKeyEvent* key);
    void OpenBrowsedNode();
    void SelectNode(int index);
    void TAB_Chang(int index);
    void SendToMfp();
    void LeaveEditor();
    bool SenderTextTooLong() const;
    RunResult RunTransfer(RunMode mode);
    RunResult RunTransferOf(RunMode mode, RecordTable& table, const std::string& text,
                            bool reportSuccess = true);

    // User files (MainFormFiles.cpp).
    bool Read_UserFile(const std::string& fileName);
    // Reads the file into the model, asking whether a file that looks like UTF-8 is read so.
    LoadResult LoadUserFile(const std::string& fileName);
    bool Write_UserFile(const std::string& fileName);
    void ReloadFileHistory();
    void UpdateFileSelRun();

    // Start-up inquiry and close (MainFormStartup.cpp).
    void InquiryFinished();
    // Runs the channel test or the network test on the worker held in the inquiry slot.
    void StartInquiryWorker(const RunRequest& request);
    void FinishStartup(bool success, const std::string& modelName);
    // After a failed inquiry: the setup panel, left only by its OK.
    void EnterForcedSetup();
    // Centres the window in the screen's free area, capped to it, its menu bar never above it.
    void PlaceInside(const QRect& area);
    void ShutDown();
    // The session's settings, with its temporary files in the window's run folder.
    DeviceSessionSettings WindowSessionSettings();

    // Sends and restores through the transfer workflow (MainFormBackup.cpp).
    std::string BackupAddress() const;
    void KeepDeviceList(const RecordTable& table, const std::string& model);
    // Runs the workflow in the progress dialog with the edited list, or with `backupFile`.
    TransferReport RunWorkflow(const std::string& backupFile, const TransferOptions& plan);
    TransferOptions SendPlan() const;
    void ShowOutcome(const TransferReport& report, const std::string& restoredFrom);
    void OfferRestore(const TransferReport& failed);
    void RestoreFromBackup();

    // The import of an address book (MainFormImport.cpp).
    std::optional<std::string> AskContactsFile();
    void ImportContacts();
    // The contacts of the source the user chooses; false when cancelled or refused (the user
    // has been told why).
    bool ReadChosenContacts(std::vector<Contact>& contacts);
    // The address book server (MainFormCardDav.cpp).
    std::optional<ContactsSourceChoice> AskContactsSource();
    bool FetchServerContacts(const ContactsSourceChoice& choice, std::vector<Contact>& contacts);
    void KeepServerLogin(const ContactsSourceChoice& choice);
    void KeepServerPassword(const ContactsSourceChoice& choice);
    // Edits [Dialling] of the settings file; true when new values were stored.
    bool EditDialling();

    // Undo and redo of the open list's edits (MainFormUndo.cpp).
    void BuildUndoMenu();
    void UpdateUndoActions();
    // Starts the history afresh: the list now in the model is what it was opened or saved as.
    void ResetUndo();
    void MarkListSaved();
    // Runs an edit command and, when it changed the list, makes it one undo step named `name`.
    void Undoable(const std::string& name, const std::function<void()>& command);
    // Makes the change from `before` to the list now in the model one undo step.
    void PushListEdit(const std::string& name, ListSnapshot before);
    std::string UndoNameOf(int tag) const;
    void ApplyListSnapshot(const ListSnapshot& snapshot);

    // Button and sender pages (MainFormButtons.cpp).
    QWidget* BuildOneTouchPage();
    struct ButtonSlot {
        QLineEdit* edit;
        QPushButton* set;
        QPushButton* clear;
        QString name;  // "Button A", or the quick dial's number label as shown
    };
    std::vector<ButtonSlot> ButtonSlots() const;
    void Button_Page_Set();
    void Button_State_Set();
    // A binding's set or clear by its button's tag, as one undo step.
    void BindingCommand(int tag);
    void RunBindingCommand(int tag);
    // The title: the list's name with the modified mark while editing, else `idleTitle_`.
    void UpdateDocumentTitle();
    void SetIdleTitle(const std::string& title);
    std::string DocumentName() const;
    bool ListChanged() const;
    void Binding_Set(int slot);
    void Binding_Clear(int slot);
    void PlaceSelectForm();

    // Setup panel (MainFormSetup.cpp).
    QWidget* BuildSetupPanel();
    int DevIndex() const;
    std::vector<std::string> AddressComboList() const;
    bool CheckAddressEntered();
    bool CheckAddressSyntax();
    void PutAddressOnTop();
    void StoreAddresses();
    void Setup_Ok();
    bool Setup_Cancel();
    void Setup_Register();
    void Setup_Delete();
    void Setup_Test();
    void NetworkTestFinished();
    void RunDeviceInquiry();
    void ApplyConnection();

    // Grids (MainFormGrids.cpp).
    void Speed_Page_Init();
    void Group_Page_Init();
    // A grid's add, edit or delete by its button's tag, as one undo step.
    void GridCommand(int tag);
    void RunGridCommand(int tag);
    // The list's view over its records, and the record selected in it (0: none).
    void AttachList(QTableView* grid, ListTableModel* list);
    ListFilterProxy* ViewOf(const QTableView* grid) const;
    int SelectedNumber(const QTableView* grid) const;
    // Refills the list from the model and selects a record as Speed_Grid_Set says.
    void RefillList(QTableView* grid, int select);
    void SelectNumber(QTableView* grid, int number);
    void SearchChanged(QTableView* grid, const QString& text);
    void Speed_Edit();
    void Speed_Add();
    void Speed_Del();
    void Group_Edit();
    void Group_Add();
    void Group_Del();
    void ClearBindingsOf(char letter, int number);
    std::string ButtonName(int binding) const;
    // The question lines naming the buttons bound to a record key; empty when none is.
    std::string BindingReferences(const std::string& key) const;
    bool AskDeletion(const std::string& question);
    bool RunSpeedDialog(SpeedDialEntry& buffer);
    bool RunGroupDialog(GroupDisplay& buffer);
    void CreateDialogs();

    Environment& env_;
    MainFormHooks hooks_;
    std::shared_ptr<IPrompt> prompt_;  // hooks_.prompt or the window's message boxes
    std::unique_ptr<TProductInfo> product_;
    DialModel model_;
    SpeedDialListModel* speedList_ = nullptr;
    GroupListModel* groupList_ = nullptr;
    std::unique_ptr<RecordTable> table_;
    // The maker's USB printer: kept up to date from udev's hot-plug events in the event loop.
    std::unique_ptr<UsbPrinterWatch> usbPresence_;
    std::string usbDevice_;  // its node; empty when none is present
    void StartUsbPresence();
    void UsbDeviceChange();
    // The setup panel's status list names the USB printer while USB is chosen.
    void ShowUsbPresence();
    std::unique_ptr<RunFolder> runFolder_;
    std::unique_ptr<DeviceSession> session_;
    std::unique_ptr<UThread> inquiryThread_;
    std::atomic<bool> inquiryEnded_{false};  // set by the inquiry's worker as it hands over
    bool networkTestRunning_ = false;        // the worker in the slot runs the network test
    TStartupMessageForm* startupMessage_ = nullptr;
    TFormVer* formVer_ = nullptr;
    TEditForm* editForm_ = nullptr;
    TEditForm_Group* editFormGroup_ = nullptr;
    TProgForm* progForm_ = nullptr;
    TErrLogForm* errLogForm_ = nullptr;
    TOneTuchInpForm* oneTuchInpForm_ = nullptr;
    TImportPreviewForm* importPreview_ = nullptr;
    TDiallingForm* diallingForm_ = nullptr;
    TImportSourceForm* importSource_ = nullptr;
    QWidget* contactsBusy_ = nullptr;
    bool selectFormPlaced_ = false;
    std::array<QTreeWidgetItem*, 6> nodes_{};

    MainModeKind mainMode_ = MainModeKind::Standby;
    EditSourceKind editSource_ = EditSourceKind::New;
    EditOperationKind editOperation_ = EditOperationKind::Edit;
    bool editorShown_ = false;
    bool untitled_ = false;
    bool deviceDataUnsaved_ = false;
    bool deviceReady_ = false;
    bool firstActivation_ = true;
    bool firstShown_ = false;
    bool shutdownDone_ = false;
    bool sessionEnding_ = false;
    bool changingNode_ = false;
    bool browsingByKey_ = false;
    // The open node while the keys have moved the selection away from it; none otherwise.
    QTreeWidgetItem* browsedFrom_ = nullptr;
    bool editMenuAllowed_ = true;
    QWidget* activeControl_ = nullptr;
    int currentTab_ = 0;
    std::string currentFileName_;
    // What the list in the editor was read as; Save writes it back the same way.
    std::optional<FileEncoding> fileEncoding_;  // none yet: the product's code page
    std::string captionSuffix_;
    std::string idleTitle_;  // the title while no list is open
    std::string printerName_;
    std::array<std::string, kMaxBindings + 1> savedButtons_;
    QUndoStack* undoStack_ = nullptr;
    ListSnapshot savedList_;  // the list as last opened or saved, for the modified flags
    std::string savedSender_;
    // The setup panel's state when it was entered, and whether its values differ from the
    // stored ones.
    int setupSnapshotIndex_ = 0;
    std::string setupSnapshotText_;
    bool setupChanged_ = false;
};

}  // namespace dialvane
