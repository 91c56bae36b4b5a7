#include "ui/FormVer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include "support/Version.h"
#include "ui/CaptionHelpers.h"

// Resources of a static library are registered by hand.
static void InitDialogResources() {
    Q_INIT_RESOURCE(DialogResources);
}

namespace dialvane {

namespace {

// The picture beside the program when there is one, else the one built in.
QPixmap LoadVersionPicture() {
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath("Version.bmp");
    QPixmap picture;
    if (QFileInfo::exists(beside) && picture.load(beside)) {
        return picture;
    }
    picture.load(QStringLiteral(":/Version.bmp"));
    return picture;
}

}  // namespace

TFormVer::TFormVer(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow) {
    InitDialogResources();
    setObjectName(QStringLiteral("FormVer"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    productVersion_ = Q(ProductVersion());

    IMG_Ver = new QLabel(this);
    IMG_Ver->setObjectName(QStringLiteral("IMG_Ver"));
    IMG_Ver->move(0, 0);
    IMG_Ver->installEventFilter(this);
    LBL_Version = new QLabel(this);
    LBL_Version->setObjectName(QStringLiteral("LBL_Version"));
    LBL_Version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LBL_Version->setAttribute(Qt::WA_TranslucentBackground);
    LBL_Version->installEventFilter(this);
}

QString TFormVer::VersionText() const {
    return Q(Text(Msg::FormVerVersion, S(productVersion_)));
}

void TFormVer::Prepare() {
    if (mainWindow_ != nullptr) {
        setFont(mainWindow_->font());
    }
    ApplyCaptions(this);
    const QPixmap picture = LoadVersionPicture();
    IMG_Ver->setPixmap(picture);
    const QSize size = picture.isNull() ? QSize(360, 200) : picture.size();
    IMG_Ver->setGeometry(0, 0, size.width(), size.height());
    setFixedSize(size);
    if (mainWindow_ != nullptr) {
        const QPoint origin = mainWindow_->mapToGlobal(QPoint(0, 0));
        move(origin.x() + (mainWindow_->width() - width()) / 2,
             origin.y() + (mainWindow_->height() - height()) / 2);
    }
    Activate();
}

void TFormVer::Execute() {
    Prepare();
    exec();
}

void TFormVer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activate();
}

void TFormVer::Activate() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(19);
    font.setBold(true);
    font.setItalic(true);
    LBL_Version->setFont(font);
    LBL_Version->setText(VersionText());
    const QFontMetrics metrics(font);
    const int labelWidth = metrics.horizontalAdvance(LBL_Version->text()) + 10;
    const int labelHeight = metrics.height();
    LBL_Version->setGeometry(width() - (labelWidth + 30), height() - (labelHeight + 70), labelWidth,
                             labelHeight);
    ShadowLabel(LBL_Version, 5, QColor(0xA0, 0xA0, 0xA4));
}

bool TFormVer::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == IMG_Ver || watched == LBL_Version) &&
        event->type() == QEvent::MouseButtonRelease) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace dialvane
