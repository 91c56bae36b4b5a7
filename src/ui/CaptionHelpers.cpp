#include "ui/CaptionHelpers.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

#include "support/FileUtil.h"
#include "support/Prompt.h"
#include "support/TextUtil.h"

namespace dialvane {

namespace {

std::map<std::string, std::vector<CaptionEntry>>& Tables() {
    static std::map<std::string, std::vector<CaptionEntry>> tables = {
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

std::mutex& TablesMutex() {
    static std::mutex mutex;
    return mutex;
}

std::optional<QFont>& MeasuringFontSlot() {
    static std::optional<QFont> font;
    return font;
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

QFontMetrics Metrics() {
    return QFontMetrics(MeasuringFont());
}

QString ButtonText(const QAbstractButton* button) {
    QString text = button->text();
    text.remove(QLatin1Char('&'));
    return text;
}

QList<QPushButton*> VisibleButtonsInTabOrder(QWidget* panel) {
    QList<QPushButton*> buttons;
    for (QObject* child : panel->children()) {
        auto* button = qobject_cast<QPushButton*>(child);
        if (button != nullptr && !button->isHidden()) {
            buttons.append(button);
        }
    }
    if (buttons.size() < 2) {
        return buttons;
    }
    // The focus chain is the tab order; follow it from the first button once round.
    QList<QPushButton*> ordered;
    QWidget* start = buttons.front();
    QWidget* current = start;
    do {
        if (auto* button = qobject_cast<QPushButton*>(current);
            button != nullptr && buttons.contains(button) && !ordered.contains(button)) {
            ordered.append(button);
        }
        current = current->nextInFocusChain();
    } while (current != nullptr && current != start && ordered.size() < buttons.size());
    if (ordered.size() != buttons.size()) {
        return buttons;
    }
    // The chain is a ring: start at the button whose predecessor in the chain is not a button of
    // the row, so a row of Save, OK, Stop reads in that order.
    for (int i = 0; i < ordered.size(); ++i) {
        QWidget* previous = ordered[i]->previousInFocusChain();
        auto* previousButton = qobject_cast<QPushButton*>(previous);
        if (previousButton == nullptr || !ordered.contains(previousButton)) {
            std::rotate(ordered.begin(), ordered.begin() + i, ordered.end());
            break;
        }
    }
    return ordered;
}

}  // namespace

void RegisterCaptionTable(const std::string& windowName, std::vector<CaptionEntry> entries) {
    std::lock_guard lock(TablesMutex());
    Tables()[S(Upper(Q(windowName)))] = std::move(entries);
}

void ApplyCaptions(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    std::vector<CaptionEntry> entries;
    {
        std::lock_guard lock(TablesMutex());
        auto found = Tables().find(S(Upper(window->objectName())));
        if (found == Tables().end()) {
            return;
        }
        entries = found->second;
    }
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

void SetMeasuringFont(const QFont& font) {
    MeasuringFontSlot() = font;
}

QFont MeasuringFont() {
    return MeasuringFontSlot().has_value() ? *MeasuringFontSlot() : QApplication::font();
}

int TextWidth(const QString& text) {
    return Metrics().horizontalAdvance(text);
}

int TextHeight(const QString& text) {
    (void)text;
    return Metrics().height();
}

int MeasureHeight(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return TextHeight(ButtonText(button)) + 12;
    }
    if (qobject_cast<const QComboBox*>(control) != nullptr ||
        qobject_cast<const QLineEdit*>(control) != nullptr) {
        return control->height();
    }
    if (auto* box = qobject_cast<const QGroupBox*>(control)) {
        return TextHeight(box->title()) + 2;
    }
    if (auto* grid = qobject_cast<const QTableWidget*>(control)) {
        const QTableWidgetItem* item = grid->horizontalHeaderItem(0);
        return TextHeight(item != nullptr ? item->text() : QString());
    }
    if (auto* tabs = qobject_cast<const QTabWidget*>(control)) {
        return TextHeight(tabs->count() > 0 ? tabs->tabText(0) : QString()) + 12;
    }
    return 0;
}

int MeasureWidth(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return TextWidth(ButtonText(button)) + 10;
    }
    if (qobject_cast<const QComboBox*>(control) != nullptr) {
        return TextWidth(QStringLiteral("888")) + 30;
    }
    return 0;
}

int ArrangeButtons(QWidget* panel, unsigned options) {
    if (panel == nullptr) {
        return -1;
    }
    const QList<QPushButton*> buttons = VisibleButtonsInTabOrder(panel);
    if (buttons.isEmpty()) {
        return -1;
    }
    const int firstHeight = MeasureHeight(buttons.front());
    if ((options & FitPanelHeight) != 0 && firstHeight + 10 > panel->minimumHeight()) {
        panel->setMinimumHeight(firstHeight + 10);
        if (panel->height() < firstHeight + 10) {
            panel->resize(panel->width(), firstHeight + 10);
        }
    }

    int sharedWidth = -1;
    if ((options & LikeWidest) != 0) {
        for (QPushButton* button : buttons) {
            sharedWidth = std::max(sharedWidth, MeasureWidth(button));
        }
    }
    for (QPushButton* button : buttons) {
        int height = button->height();
        if ((options & HeightFromText) != 0) {
            height = sharedWidth >= 0 ? firstHeight : MeasureHeight(button);
        }
        int width = button->width();
        if (sharedWidth >= 0) {
            if ((options & WidthFromText) != 0) {
                width = sharedWidth;
            }
        } else if ((options & MinWidth) != 0) {
            width = std::max(kMinButtonWidth, MeasureWidth(button));
        } else if ((options & WidthFromText) != 0) {
            width = MeasureWidth(button);
        }
        button->setFixedSize(width, height);
    }

    // A layout keeps the row in place when the panel is resized (the anchors of the design).
    delete panel->layout();
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(5);
    const Qt::Alignment vertical = (options & VCentre) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    const bool fromLeft = (options & FromLeft) != 0 && (options & FromRight) == 0;
    if (!fromLeft) {
        row->addStretch(1);
    }
    int x = 10;
    for (QPushButton* button : buttons) {
        row->addWidget(button, 0, vertical);
        x += button->width() + 5;
    }
    if (fromLeft) {
        row->addStretch(1);
    }
    return x;
}

void ShadowLabel(QLabel* label, int count, const QColor& base) {
    if (label == nullptr || label->parentWidget() == nullptr) {
        return;
    }
    QWidget* parent = label->parentWidget();
    for (int i = 0; i < count; ++i) {
        const QString name = label->objectName() + QString::number(i);
        const QList<QLabel*> old = parent->findChildren<QLabel*>(name, Qt::FindDirectChildrenOnly);
        for (QLabel* previous : old) {
            previous->hide();
            previous->setParent(nullptr);
            previous->deleteLater();
        }
        auto* copy = new QLabel(label->text(), parent);
        copy->setObjectName(name);
        copy->setAlignment(label->alignment());
        copy->setIndent(label->indent());
        copy->setMargin(label->margin());
        copy->setContentsMargins(label->contentsMargins());
        copy->setFont(label->font());
        copy->setAttribute(Qt::WA_TranslucentBackground);
        copy->setAutoFillBackground(false);
        copy->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette palette = label->palette();
        QPoint offset(0, 0);
        if (i < count - 1) {
            const int add = (count - i) * 12;
            palette.setColor(QPalette::WindowText, QColor(std::min(255, base.red() + add),
                                                          std::min(255, base.green() + add),
                                                          std::min(255, base.blue() + add)));
            offset = QPoint(i + 1, i + 1);
        }
        copy->setPalette(palette);
        copy->setGeometry(label->geometry().translated(offset));
        copy->show();
        copy->raise();
    }
    // The label itself is drawn by its last copy.
    label->lower();
}

void ComboHistory(QComboBox* combo, std::vector<std::string>& list, int max, int mode) {
    if (combo == nullptr) {
        return;
    }
    const QString text = combo->currentText();
    auto store = [&] {
        list.clear();
        for (int i = 0; i < combo->count(); ++i) {
            list.push_back(S(combo->itemText(i)));
        }
    };
    if (mode == 0) {
        combo->clear();
        for (const std::string& entry : list) {
            combo->addItem(Q(entry));
        }
        if (combo->isEditable()) {
            combo->setEditText(text);
        }
    } else if (mode == 1) {
        if (text.isEmpty()) {
            return;
        }
        const int present = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (present >= 0) {
            combo->removeItem(present);
        }
        if (max >= 1 && combo->count() >= max) {
            combo->removeItem(max - 1);
        }
        while (max >= 1 && combo->count() >= max) {
            combo->removeItem(combo->count() - 1);
        }
        combo->insertItem(0, text);
        store();
    } else {
        store();
    }
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        combo->setCurrentIndex(index);
    }
}

void PlaceControl(QWidget* control, const QRect& rectangle, bool asSize) {
    if (control == nullptr) {
        return;
    }
    // QRect's right and bottom are left + width - 1, as the placed rectangle counts them.
    if (asSize) {
        control->setGeometry(rectangle.left(), rectangle.top(), rectangle.right(),
                             rectangle.bottom());
    } else {
        control->setGeometry(rectangle);
    }
}

int PlaceLabelAndControl(QWidget* container, const QRect& area, QWidget* caption, int flags,
                         QWidget* input) {
    if (container == nullptr || input == nullptr ||
        (qobject_cast<QFrame*>(container) == nullptr &&
         qobject_cast<QGroupBox*>(container) == nullptr)) {
        return 0;
    }
    const int areaWidth = area.width();
    const int areaHeight = area.height();
    const QRect client = container->contentsRect();
    const QPoint offset = client.topLeft() + area.topLeft();

    int inputLeft = input->x() - offset.x();
    if ((flags & 32) != 0 && caption != nullptr) {
        inputLeft = caption->width() + 20;
    }
    int inputTop = input->y() - offset.y();
    const int centredTop = (areaHeight - input->height()) / 2;
    if ((flags & 16) != 0) {
        inputTop = centredTop;
    }
    int inputWidth = input->width();
    if ((flags & 64) != 0) {
        inputWidth = areaWidth - (inputLeft + 10);
    }
    if ((flags & 2) == 0) {
        PlaceControl(
            input,
            QRect(inputLeft + offset.x(), inputTop + offset.y(), inputWidth, input->height()),
            false);
    }
    if (caption != nullptr && (flags & 1) == 0) {
        int captionTop = caption->y() - offset.y();
        if ((flags & 4) != 0) {
            captionTop = (flags & 8) != 0 ? inputTop
                                          : centredTop + (input->height() - caption->height()) / 2;
        }
        PlaceControl(
            caption,
            QRect(10 + offset.x(), captionTop + offset.y(), caption->width(), caption->height()),
            false);
    }
    return input->x() + input->width() + 10;
}

QLabel* AddPanelHead(QBoxLayout* layout, const char* headName, const char* titleName) {
    auto* head = new QWidget(layout->parentWidget());
    head->setObjectName(headName);
    head->setStyleSheet(QString("QWidget#%1 { background: #0a246a; }").arg(headName));
    head->setMinimumHeight(32);
    auto* headLayout = new QHBoxLayout(head);
    headLayout->setContentsMargins(10, 5, 10, 5);
    auto* title = new QLabel(head);
    title->setObjectName(titleName);
    title->setStyleSheet("color: yellow; font-weight: bold; font-size: 21px;");
    headLayout->addWidget(title);
    layout->addWidget(head);
    return title;
}

QTableWidget* MakeSelectionGrid(QWidget* parent, const char* name) {
    auto* grid = new QTableWidget(1, 3, parent);
    grid->setObjectName(QLatin1String(name));
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    StyleGridTitles(grid);
    grid->setColumnWidth(1, 200);
    return grid;
}

void StyleGridTitles(QTableWidget* grid) {
    grid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: yellow; color: #1a1a1a; }"));
}

int GridDataRows(const QTableWidget* grid) {
    if (grid == nullptr) {
        return 0;
    }
    // The header row of the design is the table's header here, so row 0 is the first data row.
    if (grid->rowCount() < 2) {
        const QTableWidgetItem* item = grid->rowCount() == 1 ? grid->item(0, 0) : nullptr;
        return item != nullptr && !item->text().isEmpty() ? 1 : 0;
    }
    return grid->rowCount();
}

std::string TextBefore(const std::string& text, const std::string& delimiter) {
    const std::size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
    return at == std::string::npos ? text : text.substr(0, at);
}

QFont DefaultGuiFont() {
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

QString QtFileFilter(const std::string& pipeFilter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= pipeFilter.size()) {
        const std::size_t bar = pipeFilter.find('|', start);
        parts.push_back(
            pipeFilter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    QStringList filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = Q(parts[i + 1]);
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(Q(TextBefore(parts[i], "(")) + " (" + pattern + ")");
    }
    return filters.join(QStringLiteral(";;"));
}

bool SaveLinesOrTell(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += '\n';
    }
    if (WriteFileAtomic(path, bytes)) {
        return true;
    }
    AskBox(Text(Msg::SaveFileError) + "\n" + path, Msg::SaveFileErrorCaption, PromptButtons::Ok,
           PromptIcon::Stop);
    return false;
}

PromptAnswer AskBox(const std::string& text, Msg title, PromptButtons buttons, PromptIcon icon) {
    PromptRequest box;
    box.text = text;
    box.title = Text(title);
    box.buttons = buttons;
    box.icon = icon;
    box.defaultAnswer = buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    return AskUser(box);
}

}  // namespace dialvane
