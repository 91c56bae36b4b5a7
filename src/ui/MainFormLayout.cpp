// The main window's construction, layout and menu enabling.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "comm/DeviceSession.h"
#include "comm/RunFolder.h"
#include "comm/UsbPrinterWatch.h"
#include "data/CharConv.h"
#include "data/ModeMessages.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "data/TextChecks.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/TextUtil.h"
#include "ui/CaptionHelpers.h"
#include "ui/EditForm.h"
#include "ui/EditFormGroup.h"
#include "ui/MainForm.h"
#include "ui/QuickDialTab.h"

// Resources of a static library are registered by hand.
static void InitAppIcon() {
    Q_INIT_RESOURCE(AppIcon);
}

namespace dialvane {
namespace {

// The program's icon, drawn at the sizes the desktop asks for most.
QIcon AppIcon() {
    InitAppIcon();
    QIcon icon;
    for (int size : {48, 128, 256}) {
        icon.addFile(QString(":/icons/dialvane-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

// The text of a menu caption before its first "(".
QString NodeText(const QString& caption) {
    return caption.section('(', 0, 0);
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

// Captions come from the caption table.
constexpr int kTitleDecorationWidth = 160;

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

// The decorative picture at the right end of the title band: a stylised MFP with a fax
// signal, drawn here rather than loaded.
QPixmap TitleDecoration(int height) {
    QPixmap pixmap(kTitleDecorationWidth, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const int top = height / 2 - 16;
    p.setPen(QPen(QColor(255, 255, 255, 170), 2));
    for (int wave = 0; wave < 3; ++wave) {
        p.drawArc(20 + wave * 12, top + 4 - wave * 4, 24 + wave * 8, 24 + wave * 8, -60 * 16,
                  120 * 16);
    }
    p.setPen(QPen(QColor(20, 30, 70), 1));
    p.setBrush(QColor(225, 228, 235));
    p.drawRoundedRect(QRectF(80, top + 8, 64, 26), 3, 3);
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(90, top, 44, 9));
    p.setBrush(QColor(60, 140, 220));
    p.drawRect(QRectF(86, top + 14, 18, 8));
    p.setBrush(QColor(240, 200, 60));
    p.drawEllipse(QRectF(130, top + 14, 7, 7));
    return pixmap;
}

}  // namespace

TMainForm::TMainForm(Environment& environment, MainFormHooks hooks, QWidget* parent)
    : QMainWindow(parent), env_(environment), hooks_(std::move(hooks)) {
    setObjectName("MainForm");
    setWindowIcon(AppIcon());
    product_ = std::make_unique<TProductInfo>(env_.programSettingsFile,
                                              TextRulesForLanguage(env_.settings.lang));
    table_ = std::make_unique<RecordTable>(*product_);
    if (!hooks_.findPrinter) {
        hooks_.findPrinter = [this] { return InstalledMakerPrinter(env_.settings); };
    }
    // Without a prompt of its own the session asks through the program's installed prompt.
    session_ = std::make_unique<DeviceSession>(WindowSessionSettings());
    if (env_.user.connection == 1) {
        session_->UseNetwork(env_.user.ipAddress);
    }

    currentFileName_ = env_.preselectedFile;

    BuildWindow();
    StartUsbPresence();
    int width = env_.settings.formWidth > 0 ? env_.settings.formWidth : 600;
    int height = env_.settings.formHeight > 0 ? env_.settings.formHeight : 600;
    resize(width, height);
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
    if (!env_.japaneseLocale) {
        QFont arial("Arial");
        arial.setPixelSize(13);
        setFont(arial);
    }
    // Every window measures its texts with the main window's font.
    SetMeasuringFont(font());
    BuildMenu();

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    LBL_Title = new QLabel(central);
    LBL_Title->setObjectName("LBL_Title");
    LBL_Title->setFixedHeight(58);
    LBL_Title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    IMG_Title_Deco = new QLabel(LBL_Title);
    IMG_Title_Deco->setObjectName("IMG_Title_Deco");
    IMG_Title_Deco->setPixmap(TitleDecoration(58));
    IMG_Title_Deco->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The band's own resize, after the layout has sized it, places its pictures.
    LBL_Title->installEventFilter(this);
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
    BuildSetupPanel();
    panels->addWidget(PNL_Setup);
    SPL_Left->addWidget(right);
    SPL_Left->setStretchFactor(1, 1);
    SPL_Left->setSizes({185, 600});
    TV_Ctrl->setMinimumWidth(100);
    connect(SPL_Left, &QSplitter::splitterMoved, this, [this] { Form_Resize(); });

    setCentralWidget(central);

    ApplyCaptions(this);
    PNL_Quick->SetButtonEditCaption(Q(Msg::MainBtnEdit));
    PNL_Quick->SetButtonClearCaption(Q(Msg::MainBtnNoSetting));
    SetNodeTexts();
    // The tree is 185 pixels wide unless its texts need more.
    TV_Ctrl->resizeColumnToContents(0);
    SPL_Left->setSizes({std::max(185, TV_Ctrl->columnWidth(0) + 2 * TV_Ctrl->frameWidth()), 600});
    for (QWidget* bar : {PNL_BTN_Area0, PNL_BTN_Area, PNL_BTN_Area_Group, PNL_BTN_Area_File_Sel}) {
        ArrangeButtons(bar, kStandardRow);
    }
    BTN_File_Sel->setFixedSize(MeasureWidth(BTN_File_Sel) + 10, MeasureHeight(BTN_File_Sel));
}

void TMainForm::SetNodeTexts() {
    // The tree speaks the menu's words, each cut before its accelerator.
    nodes_[0]->setText(0, windowTitle());
    const QAction* items[5] = {MN_Edit, MN_Edit_New, MN_Edit_MFP, MN_Edit_Std, MN_Setup};
    for (int i = 0; i < 5; ++i) {
        nodes_[i + 1]->setText(0, NodeText(items[i]->text()));
    }
    LBL_File_Sel_Title->setText(nodes_[1]->text(0));
}

void TMainForm::DrawTitleBand() {
    // The band's picture beside the program wins; otherwise a gradient in the caption colours.
    QString picture = QString::fromStdString(env_.resourceFolder + "Title_Back.bmp");
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

int TMainForm::TitleTextWidth() const {
    QFont titleFont = font();
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    return QFontMetrics(titleFont).horizontalAdvance(LBL_Title->text()) + 20;
}

void TMainForm::PlaceTitleImages() {
    // The decoration would run into the title on a narrow window: it goes before it overlaps.
    const int width = LBL_Title->width();
    IMG_Title_Deco->setGeometry(width - kTitleDecorationWidth, 0, kTitleDecorationWidth,
                                LBL_Title->height());
    IMG_Title_Deco->setVisible(width >= TitleTextWidth() + kTitleDecorationWidth);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LBL_Title && event->type() == QEvent::Resize) {
        PlaceTitleImages();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Form_Resize() {
    PlaceTitleImages();
    if (mainMode_ == MainModeKind::Standby) {
        LayoutStandby();
    }
}

void TMainForm::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QString());
    file->setObjectName("MN_MenuFile");
    // Opening the File menu while editing takes Save As away until the next enabling pass.
    connect(file, &QMenu::aboutToShow, this, [this] { FormClick(); });
    QMenu* edit = file->addMenu(QString());
    edit->setObjectName("MN_Edit_Menu");
    MN_Edit = edit->menuAction();
    MN_Edit->setObjectName("MN_Edit");
    auto leaf = [this](QMenu* menu, const char* name, auto handler) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    MN_Edit_New = leaf(edit, "MN_Edit_New", [this] {
        TV_Ctrl->expandAll();
        SelectNode(2);
    });
    MN_Edit_MFP = leaf(edit, "MN_Edit_MFP", [this] {
        TV_Ctrl->expandAll();
        SelectNode(3);
    });
    MN_Edit_Std = leaf(edit, "MN_Edit_Std", [this] {
        TV_Ctrl->expandAll();
        SelectNode(4);
    });
    MN_Setup = leaf(file, "MN_Setup", [this] { SelectNode(5); });
    file->addSeparator()->setObjectName("N1");
    MN_Save = leaf(file, "MN_Save", [this] { ClickFor(BTN_Save); });
    MN_SaveAs = leaf(file, "MN_SaveAs", [this] {
        if (BTN_Save->isVisibleTo(this) && editorShown_) {
            mainMode_ = MainModeKind::Edit;
            Save_UserFile(true);
        }
    });
    MN_Save_MFP = leaf(file, "MN_Save_MFP", [this] { ClickFor(BTN_Save_MFP); });
    MN_Restore = leaf(file, "MN_Restore", [this] { RestoreFromBackup(); });
    MN_Exit = leaf(file, "MN_Exit", [this] { Panel_Change(MainModeKind::Exit); });
    QMenu* help = menuBar()->addMenu(QString());
    help->setObjectName("MN_MenuHelp");
    MN_Help = leaf(help, "MN_Help", [this] { ShowHelp(); });
    // The keys users expect: F1 for help, Ctrl+Q to close through the close query, Ctrl+S to
    // save the open list (as the Save button does, so also a list that has no name yet).
    MN_Help->setShortcut(QKeySequence::HelpContents);
    MN_Exit->setShortcut(QKeySequence::Quit);
    MN_Save->setShortcut(QKeySequence::Save);
    auto* save = new QShortcut(QKeySequence::Save, this);
    save->setObjectName("SC_Save");
    connect(save, &QShortcut::activated, this, [this] {
        if (mainMode_ == MainModeKind::Edit && editorShown_ && BTN_Save->isEnabled()) {
            ClickFor(BTN_Save);
        }
    });
    MN_Version = leaf(help, "MN_Version", [this] { ShowVersion(); });
}

void TMainForm::ClickFor(QPushButton* button) {
    // A menu command that stands for a button acts as that button, by its Tag.
    button->setFocus();
    activeControl_ = button;
    BtnClick();
}

void TMainForm::FormClick() {
    // Only the file-selection panel takes Save As away: taking it away while the editor is
    // shown would disable the command each time the menu opens, so it could never be chosen.
    if (mainMode_ == MainModeKind::Edit && !editorShown_) {
        MN_SaveAs->setEnabled(false);
    }
}

void TMainForm::mousePressEvent(QMouseEvent* event) {
    FormClick();
    QMainWindow::mousePressEvent(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    // The editor's Cancel is the window's cancel button: Escape presses it while it is shown.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
        BTN_Cancel->isVisibleTo(this) && BTN_Cancel->isEnabled()) {
        ClickFor(BTN_Cancel);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

std::string TMainForm::HelpFile() const {
    return env_.resourceFolder + "help/index.html";
}

void TMainForm::ShowHelp() {
    const std::string page = HelpFile();
    // A missing page and a page no program could show are told apart: the fixes differ.
    const bool exists = QFile::exists(QString::fromStdString(page));
    if (exists && (hooks_.openHelp ? hooks_.openHelp(page)
                                   : QDesktopServices::openUrl(
                                         QUrl::fromLocalFile(QString::fromStdString(page))))) {
        return;
    }
    PromptRequest request;
    request.text = Text(exists ? Msg::HelpNoBrowser : Msg::HelpMissing, "\r\n", page);
    request.title = Text(Msg::AppTitle);
    request.icon = PromptIcon::Information;
    AskUser(request);
}

void TMainForm::BuildTree() {
    TV_Ctrl = new QTreeWidget(this);
    TV_Ctrl->setObjectName("TV_Ctrl");
    TV_Ctrl->setHeaderHidden(true);
    TV_Ctrl->setIndentation(34);
    TV_Ctrl->setFocusPolicy(Qt::ClickFocus);
    TV_Ctrl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TV_Ctrl->setIconSize(QSize(16, 16));
    // Texts follow the captions (SetNodeTexts).
    auto* root = new QTreeWidgetItem(TV_Ctrl);
    root->setIcon(0, NodeImage(0));
    auto* edit = new QTreeWidgetItem(root);
    edit->setIcon(0, NodeImage(3));
    auto* create = new QTreeWidgetItem(edit);
    create->setIcon(0, NodeImage(5));
    auto* records = new QTreeWidgetItem(edit);
    records->setIcon(0, NodeImage(1));
    auto* existing = new QTreeWidgetItem(edit);
    existing->setIcon(0, NodeImage(6));
    auto* setup = new QTreeWidgetItem(root);
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
    senderRow->addWidget(senderLabel);
    senderRow->addWidget(CB_Sender, 1);
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
    // A backup goes back whenever the MFP was found, editing or not.
    MN_Restore->setEnabled(editMenuAllowed_);
    // Ctrl+S belongs to the Save item while it is on, else to the window (a list without a
    // name): never to both, which would leave the key doing nothing.
    if (auto* save = findChild<QShortcut*>("SC_Save")) {
        save->setEnabled(!MN_Save->isEnabled());
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

}  // namespace dialvane
