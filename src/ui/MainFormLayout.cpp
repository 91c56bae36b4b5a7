// The main window's construction, its title band and its navigation tree.
#include <QAction>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "comm/DeviceSession.h"
#include "comm/RunFolder.h"
#include "comm/UsbPrinterWatch.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "ui/CaptionHelpers.h"
#include "ui/MainForm.h"
#include "ui/QtPrompt.h"
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
    : QMainWindow(parent), env_(environment), hooks_(std::move(hooks)), prompt_(hooks_.prompt) {
    if (!prompt_) {
        // Over whichever window is active, so a box asked from a dialog stays above it.
        prompt_ = std::make_shared<QtPrompt>();
    }
    setObjectName("MainForm");
    setWindowIcon(AppIcon());
    product_ = std::make_unique<TProductInfo>(env_.programSettingsFile,
                                              TextRulesForLanguage(env_.settings.lang));
    table_ = std::make_unique<RecordTable>(*product_);
    if (!hooks_.findPrinter) {
        hooks_.findPrinter = [this] { return InstalledMakerPrinter(env_.settings); };
    }
    session_ = std::make_unique<DeviceSession>(WindowSessionSettings());
    session_->SetPrompt(prompt_.get());
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
    // The history empties itself as it goes, after the menu it would update is gone.
    if (undoStack_ != nullptr) {
        undoStack_->disconnect(this);
    }
    ShutDown();
}

void TMainForm::BuildWindow() {
    if (!env_.japaneseLocale) {
        QFont arial("Arial");
        arial.setPixelSize(13);
        setFont(arial);
    }
    BuildMenu();
    BuildUndoMenu();

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
    if (watched == TV_Ctrl && event->type() == QEvent::KeyPress) {
        return TreeKeyPress(static_cast<QKeyEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Form_Resize() {
    PlaceTitleImages();
    if (mainMode_ == MainModeKind::Standby) {
        LayoutStandby();
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
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
    connect(TV_Ctrl, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item == TV_Ctrl->currentItem()) {
            OpenBrowsedNode();
        }
    });
    TV_Ctrl->installEventFilter(this);
}

}  // namespace dialvane
