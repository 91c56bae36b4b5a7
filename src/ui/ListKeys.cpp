#include "ui/ListKeys.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>

namespace dialvane {

ListKeys::ListKeys(QAbstractItemView* view, QLineEdit* search, Commands commands)
    : QObject(view), view_(view), search_(search), commands_(std::move(commands)) {
    view_->installEventFilter(this);
    search_->installEventFilter(this);
    connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && commands_.edit) {
            // The record edited is the one clicked, whatever was selected before.
            view_->selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            commands_.edit();
        }
    });
}

bool ListKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() != Qt::NoModifier && key->modifiers() != Qt::KeypadModifier) {
        return QObject::eventFilter(watched, event);
    }
    if (watched == search_) {
        // From the search on to what it found, without the mouse.
        if (event->type() == QEvent::KeyPress &&
            (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return ||
             key->key() == Qt::Key_Enter)) {
            view_->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (key->key() != Qt::Key_Escape || search_->text().isEmpty()) {
            return false;
        }
        // Taken before any shortcut sees it, so the window's Cancel stays untouched.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
        } else {
            search_->clear();
        }
        return true;
    }
    if (watched != view_ || event->type() != QEvent::KeyPress) {
        return false;
    }
    const std::function<void()>* command = nullptr;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            command = &commands_.edit;
            break;
        case Qt::Key_Delete:
            command = &commands_.remove;
            break;
        case Qt::Key_Insert:
            command = &commands_.add;
            break;
        default:
            break;
    }
    // A key without a command keeps the meaning the dialog gives it.
    if (command == nullptr || !*command) {
        return false;
    }
    (*command)();
    return true;
}

}  // namespace dialvane
