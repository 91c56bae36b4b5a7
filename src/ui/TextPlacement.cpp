#include "ui/TextPlacement.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>

#include "ui/CaptionHelpers.h"

namespace dialvane {

namespace {

QFontMetrics Metrics(const QWidget* within) {
    return QFontMetrics(MeasuringFont(within));
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

QFont MeasuringFont(const QWidget* within) {
    const QWidget* top = within;
    while (top != nullptr && top->parentWidget() != nullptr) {
        top = top->parentWidget();
    }
    // Dialogs do not inherit the main window's font, so it is taken from the window itself.
    if (qobject_cast<const QMainWindow*>(top) != nullptr) {
        return top->font();
    }
    return QApplication::font();
}

int TextWidth(const QWidget* within, const QString& text) {
    return Metrics(within).horizontalAdvance(text);
}

int TextHeight(const QWidget* within, const QString& text) {
    (void)text;
    return Metrics(within).height();
}

int MeasureHeight(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return TextHeight(control, ButtonText(button)) + 12;
    }
    if (qobject_cast<const QComboBox*>(control) != nullptr ||
        qobject_cast<const QLineEdit*>(control) != nullptr) {
        return control->height();
    }
    if (auto* box = qobject_cast<const QGroupBox*>(control)) {
        return TextHeight(control, box->title()) + 2;
    }
    if (auto* grid = qobject_cast<const QTableWidget*>(control)) {
        const QTableWidgetItem* item = grid->horizontalHeaderItem(0);
        return TextHeight(control, item != nullptr ? item->text() : QString());
    }
    if (auto* tabs = qobject_cast<const QTabWidget*>(control)) {
        return TextHeight(control, tabs->count() > 0 ? tabs->tabText(0) : QString()) + 12;
    }
    return 0;
}

int MeasureWidth(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return TextWidth(control, ButtonText(button)) + 10;
    }
    if (qobject_cast<const QComboBox*>(control) != nullptr) {
        return TextWidth(control, QStringLiteral("888")) + 30;
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

QFont DefaultGuiFont() {
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

}  // namespace dialvane
