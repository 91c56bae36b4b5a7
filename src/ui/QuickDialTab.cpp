#include "ui/QuickDialTab.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/CaptionHelpers.h"
#include "ui/KWScrollBox.h"
#include "ui/QuickDialGroupBox.h"

namespace dialvane {

TPanelQuickDialTab::TPanelQuickDialTab(QWidget* parent) : QWidget(parent) {
    setObjectName("PanelQuickDialTab");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 5, 0, 0);
    ScrollBox = new TKWScrollBox(this);
    ScrollBox->setWidgetResizable(true);
    ScrollBox->setFrameShape(QFrame::NoFrame);
    outer->addWidget(ScrollBox);

    auto* content = new QWidget(ScrollBox);
    content->setObjectName("PNL_Quick");
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 10, 0);
    column->setSpacing(20);
    const int numberWidth = TextWidth(this, "88") + 4;
    for (int box = 0; box < 3; ++box) {
        auto* group = new TGroupBoxQuick(content);
        group->setObjectName(QString("GB_Quick%1").arg(box + 1));
        group->SetCount(4);
        group->SetLabelQuickNumberCaption(1 + 4 * box);
        GroupBoxes[box] = group;
        column->addWidget(group);
        for (int i = 0; i < 4; ++i) {
            const int slot = 4 * box + i;
            TPanelQuick* panel = group->Panels()[i];
            LabelQuickNumber[slot] = panel->LabelQuickNumber;
            LabelQuickNumber[slot]->setFixedWidth(numberWidth);
            EditQuick[slot] = panel->EditQuick;
            ButtonEdit[slot] = panel->ButtonEdit;
            ButtonClear[slot] = panel->ButtonClear;
            ButtonEdit[slot]->setProperty("Tag", kFirstEditTag + slot);
            ButtonClear[slot]->setProperty("Tag", kFirstClearTag + slot);
            for (QPushButton* button : {ButtonEdit[slot], ButtonClear[slot]}) {
                connect(button, &QPushButton::clicked, this, [this, button] {
                    if (onButtonClick_) {
                        onButtonClick_(button);
                    }
                });
            }
        }
    }
    column->addStretch(1);
    ScrollBox->setWidget(content);
    ScrollBox->verticalScrollBar()->setSingleStep(ButtonEdit[0]->sizeHint().height());
}

QString TPanelQuickDialTab::ButtonEditCaption() const {
    return GroupBoxes[0]->ButtonEditCaption();
}

void TPanelQuickDialTab::SetButtonEditCaption(const QString& caption) {
    for (TGroupBoxQuick* group : GroupBoxes) {
        group->SetButtonEditCaption(caption);
    }
    Relayout();
}

QString TPanelQuickDialTab::ButtonClearCaption() const {
    return GroupBoxes[0]->ButtonClearCaption();
}

void TPanelQuickDialTab::SetButtonClearCaption(const QString& caption) {
    for (TGroupBoxQuick* group : GroupBoxes) {
        group->SetButtonClearCaption(caption);
    }
    Relayout();
}

void TPanelQuickDialTab::SetOnButtonClick(std::function<void(QPushButton*)> handler) {
    onButtonClick_ = std::move(handler);
}

void TPanelQuickDialTab::Relayout() {
    // Every button of a kind is as wide as the widest caption among them, so the columns line
    // up in all three boxes.
    ScrollBox->RememberPosition();
    int width = kMinButtonWidth;
    for (int slot = 0; slot < kSlots; ++slot) {
        width = std::max({width, MeasureWidth(ButtonEdit[slot]), MeasureWidth(ButtonClear[slot])});
    }
    for (int slot = 0; slot < kSlots; ++slot) {
        for (QPushButton* button : {ButtonEdit[slot], ButtonClear[slot]}) {
            button->setFixedSize(width, MeasureHeight(button));
        }
    }
    ScrollBox->RestorePosition();
}

}  // namespace dialvane
