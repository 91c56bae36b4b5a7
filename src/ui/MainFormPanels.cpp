// The main window's standby, file-selection and editor panels, and which of them is shown.
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "data/ProductInfo.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "ui/CaptionHelpers.h"
#include "ui/EditForm.h"
#include "ui/EditFormGroup.h"
#include "ui/FieldLimit.h"
#include "ui/GroupListModel.h"
#include "ui/MainForm.h"
#include "ui/QuickDialTab.h"
#include "ui/SpeedDialListModel.h"

namespace dialvane {
namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, int tag) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setProperty("Tag", tag);
    return button;
}

QWidget* MakeButtonBar(QWidget* parent, const char* name) {
    auto* bar = new QWidget(parent);
    bar->setObjectName(name);
    return bar;
}

}  // namespace

QWidget* TMainForm::BuildStandbyPanel() {
    PNL_Standby = new QWidget(this);
    PNL_Standby->setObjectName("PNL_Standby");
    auto* layout = new QVBoxLayout(PNL_Standby);
    LBL_Standby_Title = new QLabel(PNL_Standby);
    LBL_Standby_Title->setObjectName("LBL_Standby_Title");
    LBL_Standby_Title->setFixedHeight(43);
    LBL_Standby_Title->setIndent(10);
    LBL_Standby_Title->setAutoFillBackground(true);
    QFont titleFont = font();
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    LBL_Standby_Title->setFont(titleFont);
    QPalette titlePalette = LBL_Standby_Title->palette();
    titlePalette.setColor(QPalette::Window, QColor(0x0a, 0x24, 0x6a));
    titlePalette.setColor(QPalette::WindowText, Qt::yellow);
    LBL_Standby_Title->setPalette(titlePalette);
    LBL_Standby1 = new QLabel(PNL_Standby);
    LBL_Standby1->setObjectName("LBL_Standby1");
    LBL_Standby1->setWordWrap(true);
    LBL_Standby2 = new QLabel(PNL_Standby);
    LBL_Standby2->setObjectName("LBL_Standby2");
    LBL_Standby3 = new QLabel(PNL_Standby);
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
    layout->addSpacing(2 * QFontMetrics(LBL_Standby2->font()).height());
    layout->addWidget(LBL_Standby2);
    layout->addWidget(LBL_Standby3);
    layout->addStretch(1);
    return PNL_Standby;
}

void TMainForm::LayoutStandby() {
    // The shadow copies sit where the title is once the layout has placed it.
    QTimer::singleShot(0, this, [this] {
        if (PNL_Standby->isVisible()) {
            ShadowLabel(LBL_Standby_Title, 3, Qt::black);
        }
    });
}

QWidget* TMainForm::BuildFileSelPanel() {
    PNL_File_Sel = new QWidget(this);
    PNL_File_Sel->setObjectName("PNL_File_Sel");
    auto* layout = new QVBoxLayout(PNL_File_Sel);
    layout->setContentsMargins(0, 0, 0, 0);

    LBL_File_Sel_Title = AddPanelHead(layout, "PNL_File_Sel_HEAD", "LBL_File_Sel_Title");

    auto* body = new QWidget(PNL_File_Sel);
    body->setObjectName("PNL_File_Sel_Main");
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(10, 5, 10, 5);
    GB_File_Sel = new QGroupBox(body);
    GB_File_Sel->setObjectName("GB_File_Sel");
    auto* group = new QVBoxLayout(GB_File_Sel);
    LBL_File_Sel = new QLabel(GB_File_Sel);
    LBL_File_Sel->setObjectName("LBL_File_Sel");
    LBL_File_Sel->setWordWrap(true);
    group->addWidget(LBL_File_Sel);
    group->addSpacing(fontMetrics().height());
    LBL_Title_File_Sel = new QLabel(GB_File_Sel);
    LBL_Title_File_Sel->setObjectName("LBL_Title_File_Sel");
    group->addWidget(LBL_Title_File_Sel);
    auto* line = new QHBoxLayout();
    CB_File_Sel = new QComboBox(GB_File_Sel);
    CB_File_Sel->setObjectName("CB_File_Sel");
    CB_File_Sel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    BTN_File_Sel = MakeButton(GB_File_Sel, "BTN_File_Sel", 0);
    line->addWidget(CB_File_Sel, 1);
    line->addSpacing(10);
    line->addWidget(BTN_File_Sel);
    group->addLayout(line);
    group->addStretch(1);
    bodyLayout->addWidget(GB_File_Sel);
    layout->addWidget(body, 1);

    PNL_BTN_Area_File_Sel = MakeButtonBar(PNL_File_Sel, "PNL_BTN_Area_File_Sel");
    BTN_File_Sel_Run = MakeButton(PNL_BTN_Area_File_Sel, "BTN_File_Sel_Run", 1);
    BTN_File_Sel_Cancel = MakeButton(PNL_BTN_Area_File_Sel, "BTN_File_Sel_Cancel", 2);
    layout->addWidget(PNL_BTN_Area_File_Sel);

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

QWidget* TMainForm::BuildGridPage(const char* name, QTableView*& grid, QLineEdit*& search,
                                  std::array<QPushButton**, 3> buttons, int firstTag) {
    auto* page = new QWidget(this);
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 5, 10, 0);
    search = new QLineEdit(page);
    search->setClearButtonEnabled(true);
    layout->addWidget(search);
    grid = new QTableView(page);
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
    QWidget* bar = MakeButtonBar(page, speed ? "PNL_BTN_Area" : "PNL_BTN_Area_Group");
    (speed ? PNL_BTN_Area : PNL_BTN_Area_Group) = bar;
    for (int i = 0; i < 3; ++i) {
        QPushButton* button = MakeButton(bar, names[i][speed ? 0 : 1], firstTag + i);
        *buttons[i] = button;
        connect(button, &QPushButton::clicked, this, [this, button] {
            button->setFocus();
            activeControl_ = button;
            BtnClick();
        });
    }
    layout->addWidget(bar);
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
    // A narrow window shortens the tab texts before the tab row has to scroll.
    TabCtrl->setElideMode(Qt::ElideRight);
    TabCtrl->setUsesScrollButtons(true);
    TabCtrl->setStyleSheet("QTabBar::tab { padding: 4px 6px; }");
    TabCtrl->hide();
    layout->addWidget(TabCtrl);

    layout->addWidget(BuildGridPage("PNL_Speed", SFG_Speed, EDT_Speed_Search,
                                    {&BTN_Speed_Edit, &BTN_Speed_Del, &BTN_Speed_Add}, 10),
                      1);
    SFG_Speed->setObjectName("SFG_Speed");
    EDT_Speed_Search->setObjectName("EDT_Speed_Search");
    EDT_Speed_Search->setPlaceholderText(Q(Msg::SpeedListSearchHint));
    SFG_Speed->horizontalHeader()->setSectionsMovable(true);
    PNL_Speed = SFG_Speed->parentWidget();
    speedList_ = new SpeedDialListModel(model_, this);
    AttachList(SFG_Speed, speedList_);
    layout->addWidget(BuildGridPage("PNL_Group", SFG_Group, EDT_Group_Search,
                                    {&BTN_Group_Edit, &BTN_Group_Del, &BTN_Group_Add}, 20),
                      1);
    SFG_Group->setObjectName("SFG_Group");
    EDT_Group_Search->setObjectName("EDT_Group_Search");
    EDT_Group_Search->setPlaceholderText(Q(Msg::GroupListSearchHint));
    PNL_Group = SFG_Group->parentWidget();
    groupList_ = new GroupListModel(model_, this);
    AttachList(SFG_Group, groupList_);

    layout->addWidget(BuildOneTouchPage(), 1);
    PNL_Quick = new TPanelQuickDialTab(PNL_Edit);
    PNL_Quick->SetOnButtonClick([this](QPushButton* button) {
        button->setFocus();
        activeControl_ = button;
        BtnClick();
    });
    PNL_Quick->hide();
    layout->addWidget(PNL_Quick, 1);

    PNL_Sender = new QWidget(PNL_Edit);
    PNL_Sender->setObjectName("PNL_Sender");
    auto* senderLayout = new QVBoxLayout(PNL_Sender);
    senderLayout->setContentsMargins(10, 5, 10, 5);
    GB_Sender = new QGroupBox(PNL_Sender);
    GB_Sender->setObjectName("GB_Sender");
    auto* senderRow = new QHBoxLayout(GB_Sender);
    auto* senderLabel = new QLabel(GB_Sender);
    senderLabel->setObjectName("LBL_Sender");
    CB_Sender = new QComboBox(GB_Sender);
    CB_Sender->setObjectName("CB_Sender");
    CB_Sender->setEditable(true);
    CB_Sender->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(CB_Sender, &QComboBox::editTextChanged, this, [this] { UpdateDocumentTitle(); });
    senderRow->addWidget(senderLabel);
    senderRow->addWidget(CB_Sender, 1);
    LBL_Sender_Used = new QLabel(GB_Sender);
    LBL_Sender_Used->setObjectName("LBL_Sender_Used");
    LimitField(CB_Sender->lineEdit(), NameMeasure(kSenderMaxBytes), LBL_Sender_Used);
    senderRow->addWidget(LBL_Sender_Used);
    senderLayout->addWidget(GB_Sender);
    senderLayout->addStretch(1);
    layout->addWidget(PNL_Sender, 1);

    PNL_BTN_Area0 = MakeButtonBar(PNL_Edit, "PNL_BTN_Area0");
    BTN_Save_MFP = MakeButton(PNL_BTN_Area0, "BTN_Save_MFP", 0);
    BTN_Save = MakeButton(PNL_BTN_Area0, "BTN_Save", 1);
    BTN_Cancel = MakeButton(PNL_BTN_Area0, "BTN_Cancel", 2);
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
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
            [this] { FocusSearch(); });
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
    QWidget* buttonPage = product_->OneTouch() ? PNL_OneTuch : PNL_Quick;
    QWidget* pages[4] = {PNL_Speed, PNL_Group, buttonPage, PNL_Sender};
    for (QWidget* page :
         {PNL_Speed, PNL_Group, PNL_OneTuch, static_cast<QWidget*>(PNL_Quick), PNL_Sender}) {
        page->setVisible(page == pages[currentTab_]);
    }
    if (currentTab_ == 2 && !product_->OneTouch()) {
        PNL_Quick->Relayout();
    }
    if (currentTab_ == 0) {
        SFG_Speed->setFocus();
    } else if (currentTab_ == 1) {
        SFG_Group->setFocus();
    }
}

void TMainForm::FocusSearch() {
    if (mainMode_ != MainModeKind::Edit || !editorShown_ || currentTab_ > 1) {
        return;
    }
    QLineEdit* search = currentTab_ == 0 ? EDT_Speed_Search : EDT_Group_Search;
    search->setFocus(Qt::ShortcutFocusReason);
    search->selectAll();
}

void TMainForm::SizeEditDialogs() {
    // The speed-dial dialog is as wide as the tree (or its own minimum), centred on the window;
    // the group dialog lies over the tree.
    editForm_->adjustSize();
    editForm_->resize(std::max(TV_Ctrl->width(), editForm_->minimumSizeHint().width()),
                      editForm_->sizeHint().height());
    editForm_->move(geometry().center() - editForm_->rect().center());
    editFormGroup_->resize(TV_Ctrl->size().expandedTo(editFormGroup_->minimumSizeHint()));
    editFormGroup_->move(TV_Ctrl->mapToGlobal(QPoint(0, 0)));
}

}  // namespace dialvane
