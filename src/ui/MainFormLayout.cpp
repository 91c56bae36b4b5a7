// The main window's construction, layout and menu enabling.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "comm/RMsgThread.h"
#include "comm/UserThread.h"
#include "data/CharConv.h"
#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "protocol/WriteRead.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/TextUtil.h"
#include "transport/TcpTransport.h"
#include "ui/MainForm.h"

namespace dialvane {
namespace {

QString Q(Msg id) {
    return QString::fromStdString(Text(id));
}

// The items of a comma-separated caption, each trimmed.
QStringList CommaList(Msg id) {
    QStringList items;
    for (const QString& piece : Q(id).split(',')) {
        items << piece.trimmed();
    }
    return items;
}

// The text of a menu caption before its first "(".
QString NodeText(Msg id) {
    return Q(id).section('(', 0, 0);
}

// The tree's node pictures, drawn rather than loaded: a monitor, a device, a folder, a pencil,
// a gear, a new sheet and a document, told apart by shape and colour.
QIcon NodeImage(int index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    switch (index) {
        case 0:  // the program
            p.setBrush(QColor(40, 90, 180));
            p.drawRoundedRect(1, 2, 14, 10, 2, 2);
            p.drawRect(5, 12, 6, 2);
            break;
        case 1:  // the MFP
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(1, 5, 14, 8);
            p.setBrush(Qt::white);
            p.drawRect(4, 1, 8, 4);
            break;
        case 3:  // editing
            p.setBrush(QColor(240, 200, 60));
            p.drawRect(1, 4, 14, 10);
            p.drawRect(1, 2, 6, 2);
            break;
        case 4:  // setup
            p.setBrush(QColor(120, 120, 120));
            p.drawEllipse(2, 2, 12, 12);
            p.setBrush(Qt::white);
            p.drawEllipse(6, 6, 4, 4);
            break;
        case 5:  // new data
            p.setBrush(Qt::white);
            p.drawRect(3, 1, 10, 14);
            p.setPen(QPen(QColor(0, 150, 0), 2));
            p.drawLine(8, 5, 8, 11);
            p.drawLine(5, 8, 11, 8);
            break;
        default:  // an existing file
            p.setBrush(Qt::white);
            p.drawRect(3, 1, 10, 14);
            p.drawLine(5, 5, 11, 5);
            p.drawLine(5, 8, 11, 8);
            p.drawLine(5, 11, 11, 11);
            break;
    }
    return QIcon(pixmap);
}

QPushButton* MakeButton(QWidget* parent, const char* name, Msg caption, int tag) {
    auto* button = new QPushButton(Q(caption), parent);
    button->setObjectName(name);
    button->setProperty("Tag", tag);
    return button;
}

// A row of buttons from the right, each as wide as the widest caption plus padding, at least
// 56 pixels.
QWidget* ButtonRow(QWidget* parent, const char* name, const std::vector<QPushButton*>& buttons) {
    auto* row = new QWidget(parent);
    row->setObjectName(name);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(10, 5, 10, 5);
    layout->addStretch(1);
    int widest = 0;
    for (QPushButton* button : buttons) {
        widest = std::max(widest, button->fontMetrics().horizontalAdvance(button->text()));
    }
    for (QPushButton* button : buttons) {
        button->setParent(row);
        button->setFixedWidth(std::max(56, widest + 20));
        layout->addWidget(button);
    }
    return row;
}

}  // namespace

TMainForm::TMainForm(Environment& environment, MainFormHooks hooks, QWidget* parent)
    : QMainWindow(parent), env_(environment), hooks_(std::move(hooks)) {
    setObjectName("MainForm");
    product_ = std::make_unique<TProductInfo>(env_.programSettingsFile);
    table_ = std::make_unique<RecordTable>(*product_);
    EngineSettings settings;
    settings.env = env_.settings.qnlEnv;
    settings.verify = env_.settings.verify != 0;
    settings.disp = env_.settings.disp;
    engine_ = std::make_unique<ExchangeEngine>(settings);
    tcp_ = std::make_unique<TcpTransport>();

    // The worker's questions go to whatever prompt the program has installed.
    struct ActivePromptForwarder : IPrompt {
        PromptAnswer Ask(const PromptRequest& request) override { return AskUser(request); }
    };
    enginePrompt_ = std::make_unique<ActivePromptForwarder>();
    engine_->SetPrompt(enginePrompt_.get());
    if (env_.user.connection == 1) {
        tcp_->SetAddresses({env_.user.ipAddress});
        engine_->SetChannel(tcp_.get());
    }
    receiver_ = std::make_unique<RcvMsgThread>(*engine_);
    receiver_->Start();

    SetJapaneseNameRule(env_.japaneseUi);
    SetNarrowCodePage(env_.japaneseUi ? NarrowCodePage::Cp932 : NarrowCodePage::Windows1252);
    currentFileName_ = env_.preselectedFile;

    BuildWindow();
    int width = env_.settings.formWidth > 0 ? env_.settings.formWidth : 600;
    int height = env_.settings.formHeight > 0 ? env_.settings.formHeight : 600;
    resize(width, height);
    SelectModeMessages(true);
    CreateDialogs();

    StartupTimer = new QTimer(this);
    StartupTimer->setObjectName("StartupTimer");
    StartupTimer->setSingleShot(true);
    StartupTimer->setInterval(100);
    connect(StartupTimer, &QTimer::timeout, this, [this] { StartupTimerTimer(); });

    Panel_Change(MainModeKind::Standby);
}

TMainForm::~TMainForm() {
    ShutDown();
}

void TMainForm::BuildWindow() {
    setWindowTitle(Q(Msg::AppTitle));
    if (!env_.japaneseLocale) {
        QFont arial("Arial");
        arial.setPixelSize(13);
        setFont(arial);
    }
    BuildMenu();

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    LBL_Title = new QLabel(Q(Msg::ProductTitle), central);
    LBL_Title->setObjectName("LBL_Title");
    LBL_Title->setFixedHeight(58);
    LBL_Title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    DrawTitleBand();
    outer->addWidget(LBL_Title);

    SPL_Left = new QSplitter(Qt::Horizontal, central);
    SPL_Left->setObjectName("SPL_Left");
    SPL_Left->setHandleWidth(4);
    SPL_Left->setChildrenCollapsible(false);
    outer->addWidget(SPL_Left, 1);

    BuildTree();
    SPL_Left->addWidget(TV_Ctrl);

    auto* right = new QWidget(SPL_Left);
    right->setObjectName("PNL_Client");
    auto* panels = new QVBoxLayout(right);
    panels->setContentsMargins(0, 0, 0, 0);
    panels->addWidget(BuildStandbyPanel());
    panels->addWidget(BuildFileSelPanel());
    panels->addWidget(BuildEditPanel());
    PNL_Setup = new QWidget(right);
    PNL_Setup->setObjectName("PNL_Setup");
    auto* setupLayout = new QVBoxLayout(PNL_Setup);
    auto* setupNote = new QLabel(Q(Msg::MainPagePending), PNL_Setup);
    setupNote->setObjectName("LBL_Setup_Pending");
    setupLayout->addWidget(setupNote);
    setupLayout->addStretch(1);
    panels->addWidget(PNL_Setup);
    SPL_Left->addWidget(right);
    SPL_Left->setStretchFactor(1, 1);
    SPL_Left->setSizes({185, 600});
    TV_Ctrl->setMinimumWidth(100);

    setCentralWidget(central);
}

void TMainForm::DrawTitleBand() {
    // The band's picture beside the program wins; otherwise a gradient in the caption colours.
    QString picture = QString::fromStdString(env_.programFolder + "Title_Back.bmp");
    QString style =
        "QLabel#LBL_Title { color: yellow; font-weight: bold; font-style: italic; "
        "font-size: 21px; padding-left: 10px; ";
    if (QFile::exists(picture)) {
        style += "border-image: url(" + picture + ") 0 0 0 0 stretch stretch; }";
    } else {
        style +=
            "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #0a246a, "
            "stop:1 #a6caf0); }";
    }
    LBL_Title->setStyleSheet(style);
}

void TMainForm::BuildMenu() {
    QMenu* file = menuBar()->addMenu(Q(Msg::MainMenuFile));
    file->setObjectName("MN_MenuFile");
    QMenu* edit = file->addMenu(Q(Msg::MainMenuEdit));
    edit->setObjectName("MN_Edit_Menu");
    MN_Edit = edit->menuAction();
    MN_Edit->setObjectName("MN_Edit");
    auto leaf = [this](QMenu* menu, const char* name, Msg caption, auto handler) {
        QAction* action = menu->addAction(Q(caption));
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    MN_Edit_New = leaf(edit, "MN_Edit_New", Msg::MainMenuEditNew, [this] {
        TV_Ctrl->expandAll();
        SelectNode(2);
    });
    MN_Edit_MFP = leaf(edit, "MN_Edit_MFP", Msg::MainMenuEditMfp, [this] {
        TV_Ctrl->expandAll();
        SelectNode(3);
    });
    MN_Edit_Std = leaf(edit, "MN_Edit_Std", Msg::MainMenuEditStd, [this] {
        TV_Ctrl->expandAll();
        SelectNode(4);
    });
    MN_Setup = leaf(file, "MN_Setup", Msg::MainMenuSetup, [this] { SelectNode(5); });
    file->addSeparator()->setObjectName("N1");
    MN_Save = leaf(file, "MN_Save", Msg::MainMenuSave, [this] {
        BTN_Save->setFocus();
        activeControl_ = BTN_Save;
        BtnClick();
    });
    MN_SaveAs = leaf(file, "MN_SaveAs", Msg::MainMenuSaveAs, [this] {
        if (BTN_Save->isVisibleTo(this) && editorShown_) {
            mainMode_ = MainModeKind::Edit;
            Save_UserFile(true);
        }
    });
    MN_Save_MFP = leaf(file, "MN_Save_MFP", Msg::MainMenuSaveMfp, [this] {
        BTN_Save_MFP->setFocus();
        activeControl_ = BTN_Save_MFP;
        BtnClick();
    });
    MN_Exit =
        leaf(file, "MN_Exit", Msg::MainMenuExit, [this] { Panel_Change(MainModeKind::Exit); });
    QMenu* help = menuBar()->addMenu(Q(Msg::MainMenuHelp));
    help->setObjectName("MN_MenuHelp");
    MN_Help = leaf(help, "MN_Help", Msg::MainMenuContents, [] {});
    MN_Version = leaf(help, "MN_Version", Msg::MainMenuVersion, [this] { ShowVersion(); });
}

void TMainForm::BuildTree() {
    TV_Ctrl = new QTreeWidget(this);
    TV_Ctrl->setObjectName("TV_Ctrl");
    TV_Ctrl->setHeaderHidden(true);
    TV_Ctrl->setIndentation(34);
    TV_Ctrl->setFocusPolicy(Qt::ClickFocus);
    TV_Ctrl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TV_Ctrl->setIconSize(QSize(16, 16));
    auto* root = new QTreeWidgetItem(TV_Ctrl, {Q(Msg::AppTitle)});
    root->setIcon(0, NodeImage(0));
    auto* edit = new QTreeWidgetItem(root, {NodeText(Msg::MainMenuEdit)});
    edit->setIcon(0, NodeImage(3));
    auto* create = new QTreeWidgetItem(edit, {NodeText(Msg::MainMenuEditNew)});
    create->setIcon(0, NodeImage(5));
    auto* records = new QTreeWidgetItem(edit, {NodeText(Msg::MainMenuEditMfp)});
    records->setIcon(0, NodeImage(1));
    auto* existing = new QTreeWidgetItem(edit, {NodeText(Msg::MainMenuEditStd)});
    existing->setIcon(0, NodeImage(6));
    auto* setup = new QTreeWidgetItem(root, {NodeText(Msg::MainMenuSetup)});
    setup->setIcon(0, NodeImage(4));
    nodes_ = {root, edit, create, records, existing, setup};
    TV_Ctrl->expandAll();
    connect(TV_Ctrl, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                TV_Change(current, previous);
            });
}

QWidget* TMainForm::BuildStandbyPanel() {
    PNL_Standby = new QWidget(this);
    PNL_Standby->setObjectName("PNL_Standby");
    auto* layout = new QVBoxLayout(PNL_Standby);
    LBL_Standby_Title = new QLabel(Q(Msg::ProductTitle), PNL_Standby);
    LBL_Standby_Title->setObjectName("LBL_Standby_Title");
    LBL_Standby_Title->setFixedHeight(43);
    LBL_Standby_Title->setStyleSheet(
        "color: yellow; font-weight: bold; font-style: italic; font-size: 21px; "
        "background: #0a246a; padding-left: 10px;");
    LBL_Standby1 = new QLabel(Q(Msg::MainStandby1), PNL_Standby);
    LBL_Standby1->setObjectName("LBL_Standby1");
    LBL_Standby1->setWordWrap(true);
    LBL_Standby2 = new QLabel(Q(Msg::MainStandby2), PNL_Standby);
    LBL_Standby2->setObjectName("LBL_Standby2");
    LBL_Standby3 = new QLabel(Q(Msg::MainStandby3), PNL_Standby);
    LBL_Standby3->setObjectName("LBL_Standby3");
    LBL_Standby3->setWordWrap(true);
    if (!env_.japaneseLocale) {
        QFont arial("Arial", 11);
        for (QLabel* label : {LBL_Standby1, LBL_Standby2, LBL_Standby3}) {
            label->setFont(arial);
        }
    }
    layout->addWidget(LBL_Standby_Title);
    layout->addWidget(LBL_Standby1);
    layout->addSpacing(2 * LBL_Standby2->sizeHint().height());
    layout->addWidget(LBL_Standby2);
    layout->addWidget(LBL_Standby3);
    layout->addStretch(1);
    return PNL_Standby;
}

QWidget* TMainForm::BuildFileSelPanel() {
    PNL_File_Sel = new QWidget(this);
    PNL_File_Sel->setObjectName("PNL_File_Sel");
    auto* layout = new QVBoxLayout(PNL_File_Sel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* head = new QWidget(PNL_File_Sel);
    head->setObjectName("PNL_File_Sel_HEAD");
    head->setStyleSheet("QWidget#PNL_File_Sel_HEAD { background: #0a246a; }");
    auto* headLayout = new QHBoxLayout(head);
    headLayout->setContentsMargins(10, 5, 10, 5);
    LBL_File_Sel_Title = new QLabel(NodeText(Msg::MainMenuEdit), head);
    LBL_File_Sel_Title->setObjectName("LBL_File_Sel_Title");
    LBL_File_Sel_Title->setStyleSheet("color: yellow; font-weight: bold; font-size: 21px;");
    headLayout->addWidget(LBL_File_Sel_Title);
    head->setMinimumHeight(32);
    layout->addWidget(head);

    auto* body = new QWidget(PNL_File_Sel);
    body->setObjectName("PNL_File_Sel_Main");
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(10, 5, 10, 5);
    GB_File_Sel = new QGroupBox(Q(Msg::MainFileSelGroup), body);
    GB_File_Sel->setObjectName("GB_File_Sel");
    auto* group = new QVBoxLayout(GB_File_Sel);
    LBL_File_Sel = new QLabel(Q(Msg::MainFileSelText), GB_File_Sel);
    LBL_File_Sel->setObjectName("LBL_File_Sel");
    LBL_File_Sel->setWordWrap(true);
    group->addWidget(LBL_File_Sel);
    group->addSpacing(fontMetrics().height());
    LBL_Title_File_Sel = new QLabel(Q(Msg::MainFileSelName), GB_File_Sel);
    LBL_Title_File_Sel->setObjectName("LBL_Title_File_Sel");
    group->addWidget(LBL_Title_File_Sel);
    auto* line = new QHBoxLayout();
    CB_File_Sel = new QComboBox(GB_File_Sel);
    CB_File_Sel->setObjectName("CB_File_Sel");
    CB_File_Sel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    BTN_File_Sel = MakeButton(GB_File_Sel, "BTN_File_Sel", Msg::MainBtnBrowse, 0);
    BTN_File_Sel->setMinimumWidth(
        std::max(56, BTN_File_Sel->fontMetrics().horizontalAdvance(BTN_File_Sel->text()) + 20));
    line->addWidget(CB_File_Sel, 1);
    line->addSpacing(10);
    line->addWidget(BTN_File_Sel);
    group->addLayout(line);
    group->addStretch(1);
    bodyLayout->addWidget(GB_File_Sel);
    layout->addWidget(body, 1);

    BTN_File_Sel_Run = MakeButton(this, "BTN_File_Sel_Run", Msg::MainFileSelNext, 1);
    BTN_File_Sel_Cancel = MakeButton(this, "BTN_File_Sel_Cancel", Msg::MainBtnCancel, 2);
    layout->addWidget(
        ButtonRow(PNL_File_Sel, "PNL_BTN_Area_File_Sel", {BTN_File_Sel_Run, BTN_File_Sel_Cancel}));

    for (QPushButton* button : {BTN_File_Sel, BTN_File_Sel_Run, BTN_File_Sel_Cancel}) {
        connect(button, &QPushButton::clicked, this, [this, button] {
            button->setFocus();
            activeControl_ = button;
            File_Sel_BtnClick();
        });
    }
    connect(CB_File_Sel, &QComboBox::currentIndexChanged, this, [this] { UpdateFileSelRun(); });
    connect(CB_File_Sel, &QComboBox::activated, this, [this] { Menu_Enabled_Set(); });
    return PNL_File_Sel;
}

QWidget* TMainForm::BuildGridPage(const char* name, QTableWidget*& grid,
                                  std::array<QPushButton**, 3> buttons, int firstTag) {
    auto* page = new QWidget(this);
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 5, 10, 0);
    grid = new QTableWidget(page);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->setTabKeyNavigation(false);
    layout->addWidget(grid, 1);
    const bool speed = firstTag == 10;
    const char* names[3][2] = {{"BTN_Speed_Edit", "BTN_Group_Edit"},
                               {"BTN_Speed_Del", "BTN_Group_Del"},
                               {"BTN_Speed_Add", "BTN_Group_Add"}};
    const Msg captions[3] = {Msg::MainBtnEdit, Msg::MainBtnDelete, Msg::MainBtnAdd};
    std::vector<QPushButton*> row;
    for (int i = 0; i < 3; ++i) {
        QPushButton* button = MakeButton(page, names[i][speed ? 0 : 1], captions[i], firstTag + i);
        *buttons[i] = button;
        row.push_back(button);
        connect(button, &QPushButton::clicked, this, [this, button] {
            button->setFocus();
            activeControl_ = button;
            BtnClick();
        });
    }
    layout->addWidget(ButtonRow(page, speed ? "PNL_BTN_Area" : "PNL_BTN_Area_Group", row));
    return page;
}

QWidget* TMainForm::BuildEditPanel() {
    PNL_Edit = new QWidget(this);
    PNL_Edit->setObjectName("PNL_Edit");
    auto* layout = new QVBoxLayout(PNL_Edit);
    layout->setContentsMargins(0, 0, 0, 0);
    TabCtrl = new QTabBar(PNL_Edit);
    TabCtrl->setObjectName("TabCtrl");
    TabCtrl->setExpanding(false);
    for (const QString& tab : CommaList(Msg::MainTabs)) {
        TabCtrl->addTab(tab);
    }
    TabCtrl->hide();
    layout->addWidget(TabCtrl);

    layout->addWidget(BuildGridPage("PNL_Speed", SFG_Speed,
                                    {&BTN_Speed_Edit, &BTN_Speed_Del, &BTN_Speed_Add}, 10),
                      1);
    SFG_Speed->setObjectName("SFG_Speed");
    SFG_Speed->horizontalHeader()->setSectionsMovable(true);
    PNL_Speed = SFG_Speed->parentWidget();
    layout->addWidget(BuildGridPage("PNL_Group", SFG_Group,
                                    {&BTN_Group_Edit, &BTN_Group_Del, &BTN_Group_Add}, 20),
                      1);
    SFG_Group->setObjectName("SFG_Group");
    PNL_Group = SFG_Group->parentWidget();

    PNL_OneTuch = new QWidget(PNL_Edit);
    PNL_OneTuch->setObjectName("PNL_OneTuch");
    auto* oneLayout = new QVBoxLayout(PNL_OneTuch);
    auto* oneNote = new QLabel(Q(Msg::MainPagePending), PNL_OneTuch);
    oneNote->setObjectName("LBL_OneTuch_Pending");
    oneLayout->addWidget(oneNote);
    oneLayout->addStretch(1);
    layout->addWidget(PNL_OneTuch, 1);

    PNL_Sender = new QWidget(PNL_Edit);
    PNL_Sender->setObjectName("PNL_Sender");
    auto* senderLayout = new QVBoxLayout(PNL_Sender);
    senderLayout->setContentsMargins(10, 5, 10, 5);
    GB_Sender = new QGroupBox(PNL_Sender);
    GB_Sender->setObjectName("GB_Sender");
    GB_Sender->setTitle(QStringLiteral("Set Sender Information"));
    auto* senderRow = new QHBoxLayout(GB_Sender);
    auto* senderLabel = new QLabel(QStringLiteral("Sender name"), GB_Sender);
    senderLabel->setObjectName("LBL_Sender");
    CB_Sender = new QComboBox(GB_Sender);
    CB_Sender->setObjectName("CB_Sender");
    CB_Sender->setEditable(true);
    CB_Sender->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    senderRow->addWidget(senderLabel);
    senderRow->addWidget(CB_Sender, 1);
    senderLayout->addWidget(GB_Sender);
    senderLayout->addStretch(1);
    layout->addWidget(PNL_Sender, 1);

    BTN_Save_MFP = MakeButton(PNL_Edit, "BTN_Save_MFP", Msg::MainBtnSaveMfp, 0);
    BTN_Save = MakeButton(PNL_Edit, "BTN_Save", Msg::MainBtnSave, 1);
    BTN_Cancel = MakeButton(PNL_Edit, "BTN_Cancel", Msg::MainBtnCancel, 2);
    PNL_BTN_Area0 = ButtonRow(PNL_Edit, "PNL_BTN_Area0", {BTN_Save_MFP, BTN_Save, BTN_Cancel});
    PNL_BTN_Area0->hide();
    layout->addWidget(PNL_BTN_Area0);
    for (QPushButton* button : {BTN_Save_MFP, BTN_Save, BTN_Cancel}) {
        connect(button, &QPushButton::clicked, this, [this, button] {
            button->setFocus();
            activeControl_ = button;
            BtnClick();
        });
    }
    connect(TabCtrl, &QTabBar::currentChanged, this, [this](int index) { TAB_Chang(index); });
    return PNL_Edit;
}

void TMainForm::SetThirdTabCaption() {
    TabCtrl->setTabText(2, Q(product_->OneTouch() ? Msg::MainTabOneTouch : Msg::MainTabQuickDial));
}

void TMainForm::ShowPanel(QWidget* panel) {
    for (QWidget* each : {PNL_Standby, PNL_File_Sel, PNL_Edit, PNL_Setup}) {
        each->setVisible(each == panel);
    }
}

void TMainForm::Load_Panel() {
    if (mainMode_ != MainModeKind::Edit || !editorShown_) {
        return;
    }
    ShowPanel(PNL_Edit);
    QWidget* pages[4] = {PNL_Speed, PNL_Group, PNL_OneTuch, PNL_Sender};
    for (int i = 0; i < 4; ++i) {
        pages[i]->setVisible(i == currentTab_);
    }
    if (currentTab_ == 0) {
        SFG_Speed->setFocus();
    } else if (currentTab_ == 1) {
        SFG_Group->setFocus();
    }
}

void TMainForm::Menu_Enabled_Set() {
    for (QAction* action : {MN_Edit, MN_Edit_Std, MN_Edit_MFP, MN_Edit_New, MN_Setup, MN_Exit}) {
        action->setEnabled(true);
    }
    for (QAction* action : {MN_Save, MN_SaveAs, MN_Save_MFP}) {
        action->setEnabled(false);
    }
    if (mainMode_ == MainModeKind::Edit && editorShown_) {
        MN_Save->setEnabled(!untitled_);
        MN_SaveAs->setEnabled(true);
        MN_Save_MFP->setEnabled(true);
    }
    if (!editMenuAllowed_) {
        MN_Edit->setEnabled(false);
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The layouts follow the size; only the standby texts need their wrapped heights again.
    if (mainMode_ == MainModeKind::Standby) {
        for (QLabel* label : {LBL_Standby1, LBL_Standby3}) {
            label->updateGeometry();
        }
    }
}

}  // namespace dialvane
