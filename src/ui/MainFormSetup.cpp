// The connection setup panel: USB or network, the remembered IP addresses and the network test.
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "comm/DeviceSession.h"
#include "comm/UserThread.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "support/TextUtil.h"
#include "ui/CaptionHelpers.h"
#include "ui/IpAddressCheck.h"
#include "ui/MainForm.h"

namespace dialvane {
namespace {

constexpr int kAddressHistorySize = 5;

PromptAnswer AskSetup(IPrompt& prompt, const std::string& text, Msg title, PromptButtons buttons,
                      PromptAnswer defaultAnswer) {
    PromptRequest request;
    request.text = text;
    request.title = Text(title);
    request.buttons = buttons;
    request.icon = PromptIcon::Warning;
    request.defaultAnswer = defaultAnswer;
    return prompt.Ask(request);
}

// The panel's picture: a computer linked to the MFP, drawn rather than loaded.
QPixmap SetupPicture() {
    QPixmap pixmap(96, 56);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 30, 70), 1));
    p.setBrush(QColor(60, 140, 220));
    p.drawRoundedRect(QRectF(4, 8, 30, 22), 2, 2);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(12, 32, 14, 4));
    p.setPen(QPen(QColor(240, 160, 40), 3));
    p.drawLine(QPointF(34, 30), QPointF(58, 30));
    p.setPen(QPen(QColor(20, 30, 70), 1));
    p.setBrush(QColor(225, 228, 235));
    p.drawRoundedRect(QRectF(58, 16, 34, 30), 3, 3);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(64, 8, 22, 8));
    return pixmap;
}

}  // namespace

QWidget* TMainForm::BuildSetupPanel() {
    PNL_Setup = new QWidget(this);
    PNL_Setup->setObjectName("PNL_Setup");
    auto* layout = new QVBoxLayout(PNL_Setup);
    layout->setContentsMargins(0, 0, 0, 0);

    LBL_Setup_Title = AddPanelHead(layout, "PNL_Setup_HEAD", "LBL_Setup_Title");

    SPL_Network = new QSplitter(Qt::Vertical, PNL_Setup);
    SPL_Network->setObjectName("SPL_Network");
    SPL_Network->setHandleWidth(4);
    SPL_Network->setChildrenCollapsible(false);
    layout->addWidget(SPL_Network, 1);

    PNL_Dev = new QWidget(SPL_Network);
    PNL_Dev->setObjectName("PNL_Dev");
    auto* devLayout = new QVBoxLayout(PNL_Dev);
    devLayout->setContentsMargins(10, 5, 10, 0);
    GB_Dev_Base = new QGroupBox(PNL_Dev);
    GB_Dev_Base->setObjectName("GB_Dev_Base");
    auto* devRow = new QHBoxLayout(GB_Dev_Base);
    IMG_Setup = new QLabel(GB_Dev_Base);
    IMG_Setup->setObjectName("IMG_Setup");
    IMG_Setup->setPixmap(SetupPicture());
    GB_Dev = new QGroupBox(GB_Dev_Base);
    GB_Dev->setObjectName("GB_Dev");
    auto* radios = new QVBoxLayout(GB_Dev);
    auto* group = new QButtonGroup(GB_Dev);
    const char* radioNames[2] = {"RB_Usb", "RB_Network"};
    for (int i = 0; i < 2; ++i) {
        GB_Dev_Items[i] = new QRadioButton(GB_Dev);
        GB_Dev_Items[i]->setObjectName(radioNames[i]);
        group->addButton(GB_Dev_Items[i], i);
        radios->addWidget(GB_Dev_Items[i]);
    }
    connect(group, &QButtonGroup::idClicked, this, [this] { GB_DevClick(); });
    devRow->addWidget(IMG_Setup);
    devRow->addSpacing(10);
    devRow->addWidget(GB_Dev, 1);
    devLayout->addWidget(GB_Dev_Base);
    devLayout->addStretch(1);
    SPL_Network->addWidget(PNL_Dev);

    PNL_Network = new QWidget(SPL_Network);
    PNL_Network->setObjectName("PNL_Network");
    auto* networkLayout = new QVBoxLayout(PNL_Network);
    networkLayout->setContentsMargins(10, 5, 10, 5);
    GB_Network = new QGroupBox(PNL_Network);
    GB_Network->setObjectName("GB_Network");
    auto* grid = new QGridLayout(GB_Network);
    LBL_IP_Addr = new QLabel(GB_Network);
    LBL_IP_Addr->setObjectName("LBL_IP_Addr");
    CB_IP_Addr = new QComboBox(GB_Network);
    CB_IP_Addr->setObjectName("CB_IP_Addr");
    CB_IP_Addr->setEditable(true);
    CB_IP_Addr->setInsertPolicy(QComboBox::NoInsert);  // only Register adds to the list
    CB_IP_Addr->setCompleter(nullptr);
    CB_IP_Addr->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(CB_IP_Addr, &QComboBox::editTextChanged, this, [this] {
        if (!networkTestRunning_) {
            Setup_Button_Set(BTN_OK_Setup);
        }
    });
    connect(CB_IP_Addr->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        // Register, as the button does, with the typing staying in the field.
        if (BTN_IP_Ent->isEnabled()) {
            activeControl_ = BTN_IP_Ent;
            Setup_BtnClick();
        }
    });
    PNL_BTN_Area_Network = new QWidget(GB_Network);
    PNL_BTN_Area_Network->setObjectName("PNL_BTN_Area_Network");
    auto* buttonColumn = new QVBoxLayout(PNL_BTN_Area_Network);
    buttonColumn->setContentsMargins(0, 0, 0, 0);
    BTN_IP_Ent = new QPushButton(PNL_BTN_Area_Network);
    BTN_IP_Ent->setObjectName("BTN_IP_Ent");
    BTN_IP_Ent->setProperty("Tag", 2);
    BTN_Setup_Del = new QPushButton(PNL_BTN_Area_Network);
    BTN_Setup_Del->setObjectName("BTN_Setup_Del");
    BTN_Setup_Del->setProperty("Tag", 3);
    BTN_Test = new QPushButton(PNL_BTN_Area_Network);
    BTN_Test->setObjectName("BTN_Test");
    BTN_Test->setProperty("Tag", 4);
    for (QPushButton* button : {BTN_IP_Ent, BTN_Setup_Del, BTN_Test}) {
        buttonColumn->addWidget(button);
    }
    buttonColumn->addStretch(1);
    LBL_Status = new QLabel(GB_Network);
    LBL_Status->setObjectName("LBL_Status");
    LB_Status = new QListWidget(GB_Network);
    LB_Status->setObjectName("LB_Status");
    grid->addWidget(LBL_IP_Addr, 0, 0);
    grid->addWidget(CB_IP_Addr, 0, 1);
    grid->addWidget(PNL_BTN_Area_Network, 0, 2, 3, 1);
    grid->addWidget(LBL_Status, 1, 0, 1, 2);
    grid->addWidget(LB_Status, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    networkLayout->addWidget(GB_Network);
    SPL_Network->addWidget(PNL_Network);
    SPL_Network->setStretchFactor(1, 1);

    PNL_BTN_Area_Setup = new QWidget(PNL_Setup);
    PNL_BTN_Area_Setup->setObjectName("PNL_BTN_Area_Setup");
    BTN_OK_Setup = new QPushButton(PNL_BTN_Area_Setup);
    BTN_OK_Setup->setObjectName("BTN_OK_Setup");
    BTN_OK_Setup->setProperty("Tag", 0);
    BTN_Cancel_Setup = new QPushButton(PNL_BTN_Area_Setup);
    BTN_Cancel_Setup->setObjectName("BTN_Cancel_Setup");
    BTN_Cancel_Setup->setProperty("Tag", 1);
    layout->addWidget(PNL_BTN_Area_Setup);

    for (QPushButton* button :
         {BTN_OK_Setup, BTN_Cancel_Setup, BTN_IP_Ent, BTN_Setup_Del, BTN_Test}) {
        connect(button, &QPushButton::clicked, this, [this, button] {
            button->setFocus();
            activeControl_ = button;
            Setup_BtnClick();
        });
    }
    return PNL_Setup;
}

int TMainForm::ConnectionType() const {
    return env_.user.connection;
}

const std::vector<std::string>& TMainForm::IpAddressList() const {
    return env_.user.ipHistory;
}

const std::string& TMainForm::CurrentIpAddress() const {
    return env_.user.ipAddress;
}

int TMainForm::DevIndex() const {
    return GB_Dev_Items[1]->isChecked() ? 1 : 0;
}

std::vector<std::string> TMainForm::AddressComboList() const {
    std::vector<std::string> list;
    list.reserve(CB_IP_Addr->count());
    for (int i = 0; i < CB_IP_Addr->count(); ++i) {
        list.push_back(S(CB_IP_Addr->itemText(i)));
    }
    return list;
}

void TMainForm::Setup_Load() {
    LBL_Setup_Title->setText(nodes_[5]->text(0));
    for (QWidget* bar : {PNL_BTN_Area_Setup}) {
        ArrangeButtons(bar, kStandardRow);
    }
    for (QPushButton* button : {BTN_IP_Ent, BTN_Setup_Del, BTN_Test}) {
        button->setMinimumSize(std::max({kMinButtonWidth, MeasureWidth(BTN_IP_Ent),
                                         MeasureWidth(BTN_Setup_Del), MeasureWidth(BTN_Test)}),
                               MeasureHeight(button));
    }
    setupChanged_ = false;
    GB_Dev_Items[ConnectionType() == 1 ? 1 : 0]->setChecked(true);
    CB_IP_Addr->clear();
    for (const std::string& address : IpAddressList()) {
        CB_IP_Addr->addItem(Q(address));
    }
    CB_IP_Addr->setCurrentIndex(CB_IP_Addr->count() > 0 ? 0 : -1);
    if (CurrentIpAddress().empty()) {
        CB_IP_Addr->setCurrentIndex(-1);
        CB_IP_Addr->setEditText(QString());
    }
    LB_Status->clear();
    GB_DevClick();
    setupSnapshotIndex_ = DevIndex();
    setupSnapshotText_ = S(CB_IP_Addr->currentText());
}

void TMainForm::GB_DevClick() {
    Setup_Button_Set(BTN_OK_Setup);
    Setup_Button_Set();
    CB_IP_Addr->setEnabled(DevIndex() == 1);
    LB_Status->clear();
    if (DevIndex() == 0) {
        ShowUsbPresence();
    }
}

void TMainForm::Setup_Button_Set(QPushButton* button) {
    const bool network = DevIndex() == 1;
    const bool listEmpty = CB_IP_Addr->count() == 0;
    // A typed address is enough for OK, which offers to register it: a first start needs no
    // detour through Register.
    const bool okEnabled = !(network && listEmpty && Trim(S(CB_IP_Addr->currentText())).empty());
    if (button == nullptr) {
        BTN_OK_Setup->setEnabled(okEnabled);
        // After a failed inquiry the panel is left only by OK, which runs the inquiry again.
        BTN_Cancel_Setup->setEnabled(deviceReady_);
        BTN_IP_Ent->setEnabled(network);
        BTN_Setup_Del->setEnabled(network && !listEmpty);
        BTN_Test->setEnabled(network);
    } else if (button == BTN_OK_Setup) {
        BTN_OK_Setup->setEnabled(okEnabled);
    } else if (button == BTN_Setup_Del) {
        BTN_Setup_Del->setEnabled(!listEmpty);
    } else if (button == BTN_Test) {
        BTN_Test->setEnabled(network);
    }
}

void TMainForm::Setup_BtnClick() {
    const int tag = activeControl_ != nullptr ? activeControl_->property("Tag").toInt() : -1;
    switch (tag) {
        case 0:
            Setup_Ok();
            break;
        case 1:
            Setup_Cancel();
            break;
        case 2:
            Setup_Register();
            break;
        case 3:
            Setup_Delete();
            break;
        case 4:
            Setup_Test();
            return;
        default:
            return;
    }
    if (mainMode_ == MainModeKind::Setup) {
        Setup_Button_Set();
    }
}

void TMainForm::Setup_Update_Check() {
    setupChanged_ = DevIndex() != ConnectionType() || AddressComboList() != IpAddressList();
}

bool TMainForm::CheckAddressEntered() {
    if (!Trim(S(CB_IP_Addr->currentText())).empty()) {
        return true;
    }
    AskSetup(*prompt_, Text(Msg::EditNotEntered), Msg::EditInputErrorCaption, PromptButtons::Ok,
             PromptAnswer::Ok);
    CB_IP_Addr->setFocus();
    return false;
}

bool TMainForm::CheckAddressSyntax() {
    // What is stored is the address rebuilt from its four numbers, which the connection can use.
    const IpAddressCheck check = CheckIpAddress(Trim(S(CB_IP_Addr->currentText())));
    if (!check.address) {
        AskSetup(*prompt_, Text(check.error), Msg::SetupIpCaption, PromptButtons::Ok,
                 PromptAnswer::Ok);
        CB_IP_Addr->setFocus();
        return false;
    }
    CB_IP_Addr->setEditText(Q(*check.address));
    return true;
}

void TMainForm::PutAddressOnTop() {
    const QString text = CB_IP_Addr->currentText();
    const int present = CB_IP_Addr->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (present >= 0) {
        CB_IP_Addr->removeItem(present);
    }
    CB_IP_Addr->insertItem(0, text);
    CB_IP_Addr->setCurrentIndex(0);
    if (CB_IP_Addr->count() > kAddressHistorySize) {
        CB_IP_Addr->removeItem(CB_IP_Addr->count() - 1);
    }
}

void TMainForm::StoreAddresses() {
    env_.user.ipHistory = AddressComboList();
    env_.user.ipAddress = Trim(S(CB_IP_Addr->currentText()));
    ApplyConnection();
}

void TMainForm::Setup_Register() {
    if (!CheckAddressEntered() || !CheckAddressSyntax()) {
        return;
    }
    PutAddressOnTop();
    Setup_Button_Set(BTN_Setup_Del);
    Setup_Button_Set(BTN_Test);
}

void TMainForm::Setup_Delete() {
    if (!CheckAddressEntered()) {
        return;
    }
    const int index = CB_IP_Addr->currentIndex();
    if (index >= 0 && CB_IP_Addr->itemText(index) == CB_IP_Addr->currentText()) {
        if (AskSetup(*prompt_, Text(Msg::SetupDeleteQuestion, S(CB_IP_Addr->itemText(index))),
                     Msg::ConfirmDeletionCaption, PromptButtons::YesNo,
                     PromptAnswer::No) == PromptAnswer::Yes) {
            CB_IP_Addr->removeItem(index);
            CB_IP_Addr->setCurrentIndex(-1);
            Setup_Button_Set(BTN_Setup_Del);
        }
    } else {
        CB_IP_Addr->setEditText(QString());
    }
    const int current = CB_IP_Addr->findText(Q(CurrentIpAddress()), Qt::MatchExactly);
    if (!CurrentIpAddress().empty() && current >= 0) {
        CB_IP_Addr->setCurrentIndex(current);
    } else {
        CB_IP_Addr->setCurrentIndex(-1);
        CB_IP_Addr->setEditText(QString());
    }
}

void TMainForm::Setup_Ok() {
    const bool network = DevIndex() == 1;
    if (network && !CheckAddressEntered()) {
        return;
    }
    const std::string typed = Trim(S(CB_IP_Addr->currentText()));
    const bool first = CB_IP_Addr->count() > 0 && S(CB_IP_Addr->itemText(0)) == typed;
    if (network && !typed.empty() && !first) {
        // A malformed address is never stored, registered or not.
        if (!CheckAddressSyntax()) {
            return;
        }
        const bool nowFirst =
            CB_IP_Addr->count() > 0 && CB_IP_Addr->itemText(0) == CB_IP_Addr->currentText();
        if (!nowFirst) {
            switch (AskSetup(*prompt_, Text(Msg::SetupRegisterQuestion, "\r\n"),
                             Msg::SetupRegisterCaption, PromptButtons::YesNoCancel,
                             PromptAnswer::Yes)) {
                case PromptAnswer::Cancel:
                    return;
                case PromptAnswer::Yes:
                    BTN_IP_Ent->setFocus();
                    Setup_Register();
                    break;
                default:
                    break;
            }
        }
    }
    const int index = DevIndex();
    const std::string text = Trim(S(CB_IP_Addr->currentText()));
    env_.user.connection = index;
    StoreAddresses();
    Panel_Change(MainModeKind::Standby);
    if (deviceReady_ && index == setupSnapshotIndex_ && text == setupSnapshotText_) {
        return;
    }
    if (index == 0) {
        // USB needs the maker's printer driver; without one there is nothing to ask.
        printerName_ = hooks_.findPrinter ? hooks_.findPrinter() : std::string();
        if (printerName_.empty()) {
            AskSetup(*prompt_, Text(Msg::PrinterDriverMissing), Msg::AppTitle, PromptButtons::Ok,
                     PromptAnswer::Ok);
            EnterForcedSetup();
            return;
        }
    }
    RunDeviceInquiry();
}

bool TMainForm::Setup_Cancel() {
    Setup_Update_Check();
    if (setupChanged_ &&
        AskSetup(*prompt_, Text(Msg::SetupModifiedQuestion), Msg::ConfirmExitCaption,
                 PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes) {
        return false;
    }
    Panel_Change(MainModeKind::Standby);
    return true;
}

void TMainForm::Setup_Test() {
    if (!CheckAddressEntered() || !CheckAddressSyntax()) {
        return;
    }
    PutAddressOnTop();
    StoreAddresses();
    Setup_Button_Set(BTN_Test);
    const RunRequest request = session_->MakeRequest(RunMode::NetworkTest);
    for (QPushButton* button :
         {BTN_OK_Setup, BTN_Cancel_Setup, BTN_IP_Ent, BTN_Setup_Del, BTN_Test}) {
        button->setEnabled(false);
    }
    setEnabled(false);
    LB_Status->clear();
    LB_Status->addItem(Q(Msg::CommNetworkTesting));
    StartInquiryWorker(request);
}

void TMainForm::NetworkTestFinished() {
    const RunResult result = inquiryThread_->Result();
    inquiryThread_.reset();
    networkTestRunning_ = false;
    LB_Status->addItem(Q(result.networkTestText));
    if (!result.success && !result.failureCause.empty()) {
        LB_Status->addItem(Q(result.failureCause));
    }
    setEnabled(true);
    Setup_Button_Set();
}

}  // namespace dialvane
