#include "ui/QuickDialGroupBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dialvane {

TPanelQuick::TPanelQuick(QWidget* parent) : QFrame(parent) {
    setObjectName("TPanelQuick");
    setFrameShape(QFrame::NoFrame);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 2, 0, 2);
    LabelQuickNumber = new QLabel(this);
    LabelQuickNumber->setObjectName("LabelQuickNumber");
    LabelQuickNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EditQuick = new QLineEdit(this);
    EditQuick->setObjectName("EditQuick");
    EditQuick->setReadOnly(true);
    EditQuick->setFocusPolicy(Qt::NoFocus);
    EditQuick->setMinimumWidth(120);
    ButtonEdit = new QPushButton(this);
    ButtonEdit->setObjectName("ButtonEdit");
    ButtonClear = new QPushButton(this);
    ButtonClear->setObjectName("ButtonClear");
    row->addWidget(LabelQuickNumber);
    row->addWidget(EditQuick, 1);
    row->addSpacing(5);
    row->addWidget(ButtonEdit);
    row->addWidget(ButtonClear);
}

TGroupBoxQuick::TGroupBoxQuick(QWidget* parent) : QGroupBox(parent) {
    auto* column = new QVBoxLayout(this);
    column->setSpacing(0);
    column->setContentsMargins(0, 2, 10, 2);
}

void TGroupBoxQuick::SetCount(int count) {
    for (TPanelQuick* panel : panels_) {
        delete panel;
    }
    panels_.clear();
    for (int i = 0; i < std::min(count, kMaxSlots); ++i) {
        auto* panel = new TPanelQuick(this);
        layout()->addWidget(panel);
        panels_.push_back(panel);
    }
}

QString TGroupBoxQuick::ButtonEditCaption() const {
    return panels_.empty() ? QString() : panels_.front()->ButtonEdit->text();
}

void TGroupBoxQuick::SetButtonEditCaption(const QString& caption) {
    for (TPanelQuick* panel : panels_) {
        panel->ButtonEdit->setText(caption);
    }
}

QString TGroupBoxQuick::ButtonClearCaption() const {
    return panels_.empty() ? QString() : panels_.front()->ButtonClear->text();
}

void TGroupBoxQuick::SetButtonClearCaption(const QString& caption) {
    for (TPanelQuick* panel : panels_) {
        panel->ButtonClear->setText(caption);
    }
}

void TGroupBoxQuick::SetLabelQuickNumberCaption(int first) {
    for (size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->LabelQuickNumber->setText(
            QString::asprintf("%2d", first + static_cast<int>(i)));
    }
}

}  // namespace dialvane
