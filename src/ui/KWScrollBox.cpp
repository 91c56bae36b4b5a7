#include "ui/KWScrollBox.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace dialvane {

TKWScrollBox::TKWScrollBox(QWidget* parent) : QScrollArea(parent) {
    setObjectName("TKWScrollBox");
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A bar that comes and goes would run over the right edge of the contents it was sized for.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit OnScroll(); });
}

int TKWScrollBox::VertMaxPosition() const {
    return verticalScrollBar()->maximum();
}

void TKWScrollBox::RememberPosition() {
    remembered_ = verticalScrollBar()->value();
}

void TKWScrollBox::RestorePosition() {
    verticalScrollBar()->setValue(remembered_);
}

void TKWScrollBox::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) {
        QScrollArea::wheelEvent(event);
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() - notches * bar->singleStep());
    event->accept();
}

}  // namespace dialvane
