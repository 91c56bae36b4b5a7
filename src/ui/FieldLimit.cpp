#include "ui/FieldLimit.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QValidator>
#include <memory>

#include "data/TextChecks.h"
#include "ui/CaptionHelpers.h"

namespace dialvane {
namespace {

// Takes what stays within the limit. Beyond it a text the program set is let be (its check on OK
// reports it), and of the user's changes only those that do not lengthen the text are taken, so
// such a text can still be shortened.
class LimitValidator : public QValidator {
  public:
    LimitValidator(FieldMeasure measure, QLineEdit* edit)
        : QValidator(edit), measure_(std::move(measure)), edit_(edit), before_(edit->text()) {
        // The text before an edit is known only until the edit is taken.
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { before_ = text; });
    }

    State validate(QString& input, int& /*position*/) const override {
        const int used = measure_.measure(input);
        if (used <= measure_.limit) {
            return Acceptable;
        }
        // Setting the text clears the modified state; the user's edits make it.
        if (!edit_->isModified() || used <= measure_.measure(before_)) {
            return Intermediate;
        }
        return Invalid;
    }

  private:
    FieldMeasure measure_;
    QLineEdit* edit_;
    QString before_;
};

// A validator refuses a whole paste or composed text that is too long; these are cut instead.
class InsertCutter : public QObject {
  public:
    InsertCutter(FieldMeasure measure, QLineEdit* edit)
        : QObject(edit), measure_(std::move(measure)), edit_(edit) {
        edit->installEventFilter(this);
        // A combo box takes the keys and the input method for its field and hands them on past
        // the field's filters.
        if (auto* combo = qobject_cast<QComboBox*>(edit->parentWidget())) {
            combo->installEventFilter(this);
            combo_ = combo;
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((watched != edit_ && watched != combo_) || edit_->isReadOnly()) {
            return false;
        }
        switch (event->type()) {
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
                    PasteCut();
                    return true;
                }
                return false;
            case QEvent::ContextMenu:
                return ShowMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            case QEvent::InputMethod:
                return CommitCut(static_cast<QInputMethodEvent*>(event));
            default:
                return false;
        }
    }

  private:
    QString Fitting(const QString& inserted) const {
        const int start =
            edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
        const int length = static_cast<int>(edit_->selectedText().size());
        return FittingInsert(measure_, edit_->text(), start, length, inserted);
    }

    void PasteCut() {
        const QString pasted = QGuiApplication::clipboard()->text();
        const QString fitting = Fitting(pasted);
        if (!fitting.isEmpty() || pasted.isEmpty()) {
            edit_->insert(fitting);
        }
    }

    bool ShowMenu(const QPoint& where) {
        const std::unique_ptr<QMenu> menu(edit_->createStandardContextMenu());
        QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
        if (paste == nullptr) {
            return false;  // the field's own menu then
        }
        paste->disconnect(edit_);
        connect(paste, &QAction::triggered, this, &InsertCutter::PasteCut);
        menu->exec(where);
        return true;
    }

    bool CommitCut(QInputMethodEvent* event) {
        if (resending_ || event->commitString().isEmpty()) {
            return false;
        }
        const QString fitting = Fitting(event->commitString());
        if (fitting == event->commitString()) {
            return false;
        }
        QInputMethodEvent cut(event->preeditString(), event->attributes());
        cut.setCommitString(fitting, event->replacementStart(), event->replacementLength());
        resending_ = true;
        QCoreApplication::sendEvent(edit_, &cut);
        resending_ = false;
        return true;
    }

    FieldMeasure measure_;
    QLineEdit* edit_;
    QComboBox* combo_ = nullptr;
    bool resending_ = false;
};

int Utf8Measure(size_t (*measure)(std::string_view), const QString& text) {
    return static_cast<int>(measure(S(text)));
}

}  // namespace

FieldMeasure NameMeasure(int maxBytes) {
    return {[](const QString& text) { return Utf8Measure(&TrimmedUtf16Units, text); },
            maxBytes / 2};
}

FieldMeasure KeywordMeasure(int maxBytes) {
    return NameMeasure(maxBytes);
}

FieldMeasure FaxNumberMeasure() {
    return {[](const QString& text) { return Utf8Measure(&FaxNumberChars, text); },
            kFaxNumberMaxChars};
}

QString FittingInsert(const FieldMeasure& measure, const QString& text, int start, int length,
                      const QString& inserted) {
    const QString head = text.left(start);
    const QString tail = text.mid(start + length);
    const auto fits = [&](qsizetype count) {
        return measure.measure(head + inserted.left(count) + tail) <= measure.limit;
    };
    // Adding characters never makes a text shorter, so the fitting lengths are one run from 0.
    qsizetype low = 0;
    qsizetype high = inserted.size();
    if (!fits(0)) {
        return {};
    }
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (fits(middle)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    // Never half a character.
    if (low > 0 && low < inserted.size() && inserted[low - 1].isHighSurrogate()) {
        --low;
    }
    return inserted.left(low);
}

QString LimitHintText(const FieldMeasure& measure, const QString& text) {
    return Q(Text(Msg::FieldLimitHint, measure.measure(text), measure.limit));
}

void LimitField(QLineEdit* edit, FieldMeasure measure, QLabel* hint) {
    edit->setValidator(new LimitValidator(measure, edit));
    new InsertCutter(measure, edit);
    if (hint != nullptr) {
        const auto show = [hint, measure](const QString& text) {
            hint->setText(LimitHintText(measure, text));
        };
        show(edit->text());
        QObject::connect(edit, &QLineEdit::textChanged, hint, show);
    }
}

}  // namespace dialvane
